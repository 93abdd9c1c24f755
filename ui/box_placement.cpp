#include "ui/box_placement.h"

#include <algorithm>
#include <cstdint>

namespace ui {

namespace {

// The start of a span `size` long centred on [low, high), then kept inside
// [areaLow, areaHigh) with its start winning when it does not fit.
int64_t Place(int64_t low, int64_t high, int64_t size, int64_t areaLow, int64_t areaHigh) {
    const int64_t centred = low + (high - low - size) / 2;
    return std::max(std::min(centred, areaHigh - size), areaLow);
}

}  // namespace

PixelRect BoxPlacement(int width, int height, const std::optional<PixelRect>& owner, const PixelRect& workArea) {
    const int64_t w = std::max(width, 0), h = std::max(height, 0);
    const bool onOwner = owner && owner->Width() >= kBoxMinOwnerSide && owner->Height() >= kBoxMinOwnerSide;
    const PixelRect& centre = onOwner ? *owner : workArea;
    const int64_t left = Place(centre.left, centre.right, w, workArea.left, workArea.right);
    const int64_t top = Place(centre.top, centre.bottom, h, workArea.top, workArea.bottom);
    return {ClampToInt(left), ClampToInt(top), ClampToInt(left + w), ClampToInt(top + h)};
}

}  // namespace ui
