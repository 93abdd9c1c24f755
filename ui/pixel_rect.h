#pragma once

#include <cstdint>
#include <limits>

namespace ui {

// A rectangle in pixels with the same meaning as a Win32 RECT (right and
// bottom exclusive), so the Windows layer copies the four fields across.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Geometry is summed in 64 bits and brought back here, so sizes taken from a
// measured text or a bitmap header can never wrap a 32-bit int.
constexpr int ClampToInt(int64_t value) {
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

}  // namespace ui
