#include "shot/shot_geometry.h"

#include <algorithm>

namespace shot {
namespace {

constexpr int kBand = 3;
constexpr int kMagnifierDx = 15;
constexpr int kMagnifierDy = 24;
constexpr int kToolbarGap = 5;

}  // namespace

ui::PixelRect SelectionFromPoints(Point press, Point current) {
    return {std::min(press.x, current.x), std::min(press.y, current.y), std::max(press.x, current.x),
            std::max(press.y, current.y)};
}

Point MagnifierOrigin(Point cursor, int screenW, int screenH) {
    const int x = cursor.x + kMagnifierDx + kMagnifierWidth < screenW ? cursor.x + kMagnifierDx : cursor.x - kMagnifierWidth;
    const int y = cursor.y + kMagnifierDy + kMagnifierHeight < screenH ? cursor.y + kMagnifierDy : cursor.y - kMagnifierHeight;
    return {x, y};
}

Point ToolbarOrigin(const ui::PixelRect& zone, int toolbarW, int toolbarH, int screenH) {
    int x = zone.right - toolbarW;
    if (x < 0) x = zone.left;
    int y = zone.bottom + kToolbarGap;
    if (y + toolbarH > screenH) y = zone.top - toolbarH - kToolbarGap;
    // Above the top of the screen the buttons could not be reached.
    if (y < 0) y = std::max(0, zone.bottom - toolbarH - kToolbarGap);
    return {x, y};
}

skin::HitCode ZoneHitTest(int x, int y, int w, int h) {
    if (x < 0 || y < 0 || x >= w || y >= h) return skin::kHitDefault;
    const bool top = y < kBand;
    const bool bottom = y >= h - kBand;
    if (x < kBand) return top ? skin::kHitTopLeft : bottom ? skin::kHitBottomLeft : skin::kHitLeft;
    if (x >= w - kBand) return top ? skin::kHitTopRight : bottom ? skin::kHitBottomRight : skin::kHitRight;
    if (top) return skin::kHitTop;
    if (bottom) return skin::kHitBottom;
    return skin::kHitCaption;
}

Point ClampZoneOrigin(Point origin, int zoneW, int zoneH, int screenW, int screenH) {
    return {std::max(0, std::min(origin.x, screenW - zoneW)), std::max(0, std::min(origin.y, screenH - zoneH))};
}

std::array<Point, 8> ZoneHandleOrigins(int w, int h) {
    const int right = w - kHandleSize, bottom = h - kHandleSize;
    const int midX = w / 2 - kHandleSize / 2, midY = h / 2 - kHandleSize / 2;
    return {{{0, 0}, {right, 0}, {right, bottom}, {0, bottom}, {midX, 0}, {midX, bottom}, {0, midY}, {right, midY}}};
}

}  // namespace shot
