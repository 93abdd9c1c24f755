#include "shot/shot_geometry.h"

#include <gtest/gtest.h>

namespace shot {
namespace {

constexpr int kW = 1600;
constexpr int kH = 1000;

TEST(ShotSelection, AnyDragDirectionGivesTheSameRectangle) {
    const ui::PixelRect want{100, 200, 400, 260};
    const Point corners[][2] = {
        {{100, 200}, {400, 260}},  // down-right
        {{400, 260}, {100, 200}},  // up-left
        {{400, 200}, {100, 260}},  // down-left
        {{100, 260}, {400, 200}},  // up-right
    };
    for (const auto& c : corners)
        EXPECT_EQ(SelectionFromPoints(c[0], c[1]), want) << c[0].x << "," << c[0].y << " -> " << c[1].x << "," << c[1].y;
    EXPECT_EQ(SelectionFromPoints({7, 9}, {7, 9}), (ui::PixelRect{7, 9, 7, 9}));
}

TEST(ShotMagnifier, FlipsAtTheRightAndBottomEdges) {
    struct Case {
        Point cursor;
        Point want;
    } const cases[] = {
        {{0, 0}, {15, 24}},
        {{1328, 875}, {1343, 899}},  // 1328 + 271 = 1599 and 875 + 124 = 999 still fit
        {{1329, 876}, {1073, 776}},  // one more and it goes left of and above the cursor
        {{1599, 500}, {1343, 524}},
        {{500, 999}, {515, 899}},
        {{1599, 999}, {1343, 899}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MagnifierOrigin(c.cursor, kW, kH), c.want) << c.cursor.x << "," << c.cursor.y;
}

TEST(ShotToolbar, PlacedAtEveryEdge) {
    constexpr int tw = 152, th = 26;
    struct Case {
        const char* what;
        ui::PixelRect zone;
        Point want;
    } const cases[] = {
        {"below, right-aligned", {300, 200, 700, 500}, {548, 505}},
        {"left edge: aligned with the zone's left", {0, 200, 100, 500}, {0, 505}},
        {"exactly wide enough", {0, 200, 152, 500}, {0, 505}},
        {"bottom: above the zone", {300, 700, 700, 970}, {548, 669}},
        {"just fits below", {300, 700, 700, 969}, {548, 974}},
        {"right edge", {1400, 100, 1600, 300}, {1448, 305}},
        {"whole screen: inside the bottom edge", {0, 0, kW, kH}, {1448, 969}},
        {"tall zone near the top", {10, 20, 300, 990}, {148, 959}},
        {"zone too short for the toolbar inside", {10, 0, 300, 10}, {148, 15}},
    };
    for (const Case& c : cases) EXPECT_EQ(ToolbarOrigin(c.zone, tw, th, kH), c.want) << c.what;
}

TEST(ShotZoneHitTest, ThreePixelBands) {
    struct Case {
        int x, y;
        skin::HitCode want;
    } const cases[] = {
        {0, 0, skin::kHitTopLeft},       {2, 2, skin::kHitTopLeft},      {2, 3, skin::kHitLeft},
        {0, 97, skin::kHitBottomLeft},   {0, 96, skin::kHitLeft},        {197, 0, skin::kHitTopRight},
        {199, 99, skin::kHitBottomRight}, {196, 50, skin::kHitCaption},  {197, 50, skin::kHitRight},
        {100, 2, skin::kHitTop},         {100, 97, skin::kHitBottom},    {100, 50, skin::kHitCaption},
        {3, 3, skin::kHitCaption},       {-1, 50, skin::kHitDefault},    {200, 50, skin::kHitDefault},
        {100, 100, skin::kHitDefault},
    };
    for (const Case& c : cases) EXPECT_EQ(ZoneHitTest(c.x, c.y, 200, 100), c.want) << c.x << "," << c.y;
    // A zone too small for a middle: the corner bands win.
    EXPECT_EQ(ZoneHitTest(1, 1, 4, 4), skin::kHitTopLeft);
    EXPECT_EQ(ZoneHitTest(3, 1, 4, 4), skin::kHitTopRight);
    EXPECT_EQ(ZoneHitTest(1, 3, 4, 4), skin::kHitBottomLeft);
}

TEST(ShotZoneClamp, StaysOnTheScreen) {
    struct Case {
        Point origin;
        int w, h;
        Point want;
    } const cases[] = {
        {{-5, -7}, 100, 100, {0, 0}},
        {{1550, 950}, 100, 100, {1500, 900}},
        {{1500, 900}, 100, 100, {1500, 900}},
        {{300, 400}, 100, 100, {300, 400}},
        {{-3, 980}, 50, 30, {0, 970}},
        {{20, 20}, 2000, 1200, {0, 0}},  // larger than the screen: pinned to the origin
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampZoneOrigin(c.origin, c.w, c.h, kW, kH), c.want) << c.origin.x << "," << c.origin.y;
}

TEST(ShotZoneHandles, CornersAndMiddles) {
    const std::array<Point, 8> want{{{0, 0}, {96, 0}, {96, 46}, {0, 46}, {48, 0}, {48, 46}, {0, 23}, {96, 23}}};
    EXPECT_EQ(ZoneHandleOrigins(100, 50), want);
    // Odd sizes: halves truncate.
    EXPECT_EQ(ZoneHandleOrigins(7, 5)[4], (Point{1, 0}));
    EXPECT_EQ(ZoneHandleOrigins(7, 5)[6], (Point{0, 0}));
}

}  // namespace
}  // namespace shot
