#pragma once

// The screenshot tool's geometry: the selection dragged out on the overlay,
// where the toolbar and the magnifier go, the zone's grip bands and the limit
// that keeps the zone on the screen. The overlay covers the primary screen
// from its origin, so overlay and screen coordinates are the same numbers.

#include <array>

#include "ui/pixel_rect.h"
#include "ui/skin_geometry.h"

namespace shot {

struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

inline constexpr int kMagnifierWidth = 256;
inline constexpr int kMagnifierHeight = 100;

// The rectangle spanned by the press point and the current point, whichever
// way the drag went.
ui::PixelRect SelectionFromPoints(Point press, Point current);

// The magnifier's top-left corner for a cursor position: below and right of
// the cursor, flipped to the left or above where it would run off the screen.
Point MagnifierOrigin(Point cursor, int screenW, int screenH);

// The toolbar's top-left corner for a zone (screen coordinates): right-aligned
// under the zone; left-aligned when that would start left of the screen;
// above the zone when there is no room below; inside the zone's bottom edge
// when there is no room above either (a zone as tall as the screen).
Point ToolbarOrigin(const ui::PixelRect& zone, int toolbarW, int toolbarH, int screenH);

// The zone's answer to a hit test at client (x, y) of a w x h zone: 3-pixel
// sizing bands along the edges and corners, the move grip inside.
skin::HitCode ZoneHitTest(int x, int y, int w, int h);

// A zone of zoneW x zoneH moved to `origin`, kept on the screen. A zone
// larger than the screen stays at the top-left edge.
Point ClampZoneOrigin(Point origin, int zoneW, int zoneH, int screenW, int screenH);

// Top-left corners of the eight 4 x 4 sizing handles of a w x h zone: the
// corners, then the middles of the top, bottom, left and right edges.
inline constexpr int kHandleSize = 4;
std::array<Point, 8> ZoneHandleOrigins(int w, int h);

}  // namespace shot
