#pragma once

// The measuring rule every `make bench` program shares: ours and the
// baseline run in turns, each taking the first turn every other round so
// that neither always meets a cold or a warm cache, and each figure is the
// median of its runs. One line per benchmark:
//   bench NAME: ours X s, baseline Y s, ratio=R (target T)
// with R the baseline's time over ours (higher is better).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace bench {

inline constexpr int kRuns = 11;

// One timed run: its time in seconds, or nothing when it failed.
using Run = std::function<std::optional<double>()>;

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n == 0) return 0;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A run timed from its call to its return, for work that has no better
// moment of its own to stop the clock.
inline Run Timed(std::function<bool()> work) {
    return [work = std::move(work)]() -> std::optional<double> {
        const auto start = std::chrono::steady_clock::now();
        if (!work()) return std::nullopt;
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
}

// Prints the benchmark's line; false when a run failed (after saying which).
// `met` tells whether the ratio reached `target`.
inline bool Compare(const char* name, double target, const Run& ours, const Run& baseline, bool& met) {
    met = false;
    std::vector<double> oursTimes, baselineTimes;
    auto take = [](const Run& run, std::vector<double>& times) {
        const std::optional<double> seconds = run();
        if (seconds) times.push_back(*seconds);
        return seconds.has_value();
    };
    for (int i = 0; i < kRuns; ++i) {
        const bool ok = i % 2 == 0 ? take(ours, oursTimes) && take(baseline, baselineTimes)
                                   : take(baseline, baselineTimes) && take(ours, oursTimes);
        if (!ok) {
            std::printf("bench %s: run %d failed\n", name, i + 1);
            std::fflush(stdout);
            return false;
        }
    }
    const double o = Median(oursTimes), b = Median(baselineTimes);
    const double ratio = o > 0 ? b / o : 0;
    // Three decimals: at two, a ratio just short of its target printed as
    // the target itself.
    std::printf("bench %s: ours %.3f s, baseline %.3f s, ratio=%.3f (target %.2g)\n", name, o, b, ratio, target);
    std::fflush(stdout);
    met = ratio >= target;
    return true;
}

}  // namespace bench
