#pragma once

#include <cstdint>

#include "ui/pixel_rect.h"

// Geometry of the image progress bar (CImgProgress): a track image with a bar
// image centred on it, filled from the bar image's two ends so that both
// rounded ends stay intact at every level.
namespace ui {

// Bitmap ids of the update dialog's track and bar (both 390 x 21).
inline constexpr int kProgressTrackImageId = 152;
inline constexpr int kProgressBarImageId = 153;

struct ProgressRects {
    PixelRect back;  // the track: (0, 0) to the track image's size; also the control's size
    PixelRect bar;   // the bar image's size, centred in `back` (signed halves)
    friend constexpr bool operator==(const ProgressRects&, const ProgressRects&) = default;
};

// Rectangles for a track image of trackWidth x trackHeight and a bar image of
// barWidth x barHeight. A bar larger than the track gets negative offsets.
ProgressRects ProgressLayout(int trackWidth, int trackHeight, int barWidth, int barHeight);

// The two blits of the fill. Both copy from the bar image at source y 0 and
// to destination y `bar.top`, `bar.Height()` rows high; a part with 0 columns
// is not drawn.
struct ProgressFill {
    int filled = 0;        // columns of the bar area covered
    int leftColumns = 0;   // first part: from source x 0 ...
    int leftDestX = 0;     // ... to this x
    int rightColumns = 0;  // second part: the bar image's last columns ...
    int rightSourceX = 0;  // ... from this source x ...
    int rightDestX = 0;    // ... to this x, right after the first part
    friend constexpr bool operator==(const ProgressFill&, const ProgressFill&) = default;
};

// The fill of `bar` for position `pos` in the range [lower, upper] (what
// PBM_GETPOS and PBM_GETRANGE report). filled = W x (pos - lower) / range,
// truncated, computed exactly in 64 bits; its left half (rounded down) comes
// from the bar image's left end, the rest from its right end. The position is
// clamped into the range, so the fill never leaves the bar image. An empty or
// reversed range (upper <= lower) draws no fill.
ProgressFill ComputeProgressFill(PixelRect bar, int64_t pos, int64_t lower, int64_t upper);

// The percentage printed on the bar: (pos - lower) x 100 / range, integer
// division, with the position clamped into the range; 0 for an empty or
// reversed range.
int ProgressPercent(int64_t pos, int64_t lower, int64_t upper);

}  // namespace ui
