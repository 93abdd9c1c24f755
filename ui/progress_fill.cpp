#include "ui/progress_fill.h"

#include <algorithm>

namespace ui {

ProgressRects ProgressLayout(int trackWidth, int trackHeight, int barWidth, int barHeight) {
    ProgressRects rects;
    rects.back = {0, 0, trackWidth, trackHeight};
    const int64_t dx = (static_cast<int64_t>(trackWidth) - barWidth) / 2;
    const int64_t dy = (static_cast<int64_t>(trackHeight) - barHeight) / 2;
    rects.bar = {ClampToInt(dx), ClampToInt(dy), ClampToInt(dx + barWidth), ClampToInt(dy + barHeight)};
    return rects;
}

namespace {

// Position within the range, 0 to range; range must be positive. The ranges
// of a progress control are 32-bit, so range and offset fit easily in 64 bits,
// and so does their product with a width or with 100.
int64_t Offset(int64_t pos, int64_t lower, int64_t range) {
    if (pos <= lower) return 0;
    return std::min(pos - lower, range);
}

bool UsableRange(int64_t lower, int64_t upper) {
    // Beyond 32 bits (which a progress control never reports) the products
    // below could overflow; such a range is treated as unusable.
    constexpr int64_t kLimit = int64_t{1} << 32;
    return upper > lower && lower > -kLimit && upper < kLimit;
}

}  // namespace

ProgressFill ComputeProgressFill(PixelRect bar, int64_t pos, int64_t lower, int64_t upper) {
    ProgressFill fill;
    fill.leftDestX = bar.left;
    fill.rightDestX = bar.left;
    fill.rightSourceX = std::max(bar.Width(), 0);
    const int64_t width = std::max(bar.Width(), 0);
    if (width == 0 || !UsableRange(lower, upper)) return fill;
    const int64_t range = upper - lower;
    const int64_t filled = width * Offset(pos, lower, range) / range;
    const int64_t left = filled / 2;
    fill.filled = ClampToInt(filled);
    fill.leftColumns = ClampToInt(left);
    fill.rightColumns = ClampToInt(filled - left);
    fill.rightSourceX = ClampToInt(width - (filled - left));
    fill.rightDestX = ClampToInt(static_cast<int64_t>(bar.left) + left);
    return fill;
}

int ProgressPercent(int64_t pos, int64_t lower, int64_t upper) {
    if (!UsableRange(lower, upper)) return 0;
    const int64_t range = upper - lower;
    return ClampToInt(Offset(pos, lower, range) * 100 / range);
}

}  // namespace ui
