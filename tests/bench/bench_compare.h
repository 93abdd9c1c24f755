#pragma once

// The measuring rule every `make bench` program shares: ours and the
// baseline run in turns, each taking the first turn every other round so
// that neither always meets a cold or a warm cache, and each figure is the
// mean of its runs without the fastest and slowest tenth. Not the median:
// under Wine a start takes one of two times about 40 ms apart, and the
// median of such runs jumps between the two as the share of each wanders,
// while a stray slow run must still not count. One line per benchmark:
//   bench NAME: ours X s, baseline Y s, ratio=R (target T)
// with R the baseline's time over ours (higher is better).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace bench {

// Starts of a tenth of a second on two cores wander by a tenth between
// medians of eleven runs; twenty-one keep a ratio within a few hundredths.
inline constexpr int kRuns = 21;

// One timed run: its time in seconds, or nothing when it failed.
using Run = std::function<std::optional<double>()>;

inline double TrimmedMean(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t cut = values.size() / 10;
    if (values.size() <= 2 * cut) return 0;
    double sum = 0;
    for (size_t i = cut; i < values.size() - cut; ++i) sum += values[i];
    return sum / static_cast<double>(values.size() - 2 * cut);
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
    const double o = TrimmedMean(oursTimes), b = TrimmedMean(baselineTimes);
    const double ratio = o > 0 ? b / o : 0;
    // Three decimals: at two, a ratio just short of its target printed as
    // the target itself.
    std::printf("bench %s: ours %.3f s, baseline %.3f s, ratio=%.3f (target %.2g)\n", name, o, b, ratio, target);
    std::fflush(stdout);
    met = ratio >= target;
    return true;
}

}  // namespace bench
