#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "ui/pixel_rect.h"

// Areas of a login page that must keep their mouse events instead of
// dragging the login window: on some builds' pages a close button near the
// top right and a scroll-bar strip. The areas depend on the page each build
// shows, so they are looked up by the build's tag.

struct DragExclusion {
    std::wstring_view buildTag;            // compared case-sensitively
    std::array<ui::PixelRect, 3> rects{};  // the page's client pixels, right and bottom exclusive
    size_t count = 0;                      // 1 to 3 of them in use
};

// This build's table. Its page has no such areas, so it is empty: every
// mouse event on the page's body, td and div elements drags the window.
std::span<const DragExclusion> TheDragExclusions();

// True when `buildTag` has a row in `table` and (x, y) lies in one of its
// rectangles. The first row with the tag decides.
bool IsDragExcluded(std::span<const DragExclusion> table, std::wstring_view buildTag, int x, int y);
