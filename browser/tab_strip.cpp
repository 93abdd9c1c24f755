#include "browser/tab_strip.h"

namespace tabs {

namespace {

constexpr int kStripTop = 3;
constexpr int kCloseLeft = 283;
constexpr int kCloseTop = 8;
constexpr int kTextLeft = 151;

int Offset(int index) { return kTabWidth * index; }

bool OnCloseColumn(int index, int x) {
    return x >= kCloseLeft + Offset(index) && x < kCloseLeft + kCloseSize + Offset(index);
}

}  // namespace

Rect TabRect(int index) {
    return {kStripLeft + Offset(index), kStripTop, kStripLeft + kTabWidth + Offset(index), kStripTop + kTabHeight};
}

Rect CloseButtonRect(int index) {
    return {kCloseLeft + Offset(index), kCloseTop, kCloseLeft + kCloseSize + Offset(index), kCloseTop + kCloseSize};
}

Rect TabTextRect(int index) {
    return {kTextLeft + Offset(index), kCloseTop, kCloseLeft + Offset(index), kCloseTop + kCloseSize};
}

Rect NewPageButtonRect(int count) { return {kStripLeft + Offset(count), 5, kStripLeft + Offset(count) + 28, 21}; }

Rect StripRect(int count) { return {kStripLeft, kStripTop, kStripLeft + Offset(count), kStripTop + kTabHeight}; }

Rect StripRectAfterClose(int count) {
    return {kStripLeft, kStripTop, kStripLeft + kTabWidth + Offset(count), kStripTop + kTabHeight};
}

Rect PageArea(const Rect& outer) { return {outer.left + 4, outer.top + 65, outer.right - 4, outer.bottom - 4}; }

Size MinimumFrameSize(int count) { return {kTabWidth * count + 440, 260}; }

std::optional<int> TabAt(int x, int y, int count) {
    if (count <= 0 || x <= kStripLeft || x >= kStripLeft + Offset(count) || y < kStripTop || y > 24)
        return std::nullopt;
    return (x - kStripLeft) / kTabWidth;
}

int CloseButtonState(int index, int x, int y, bool leftButtonDown) {
    if (!OnCloseColumn(index, x) || y < 8 || y > 21) return 0;
    return leftButtonDown ? 2 : 1;
}

bool PressOnCloseButton(int index, int x, int y) { return OnCloseColumn(index, x) && y >= 9 && y <= 21; }

bool ReleaseOnCloseButton(int index, int x, int y) { return OnCloseColumn(index, x) && y > 7 && y < 22; }

int TabImageFrame(int index, int current, int hovered) {
    if (index == current) return 2;
    return index == hovered ? 1 : 0;
}

std::array<Placement, kPlacedControls> ControlLayout(int cx, int count) {
    return {{
        {id::kToolMenu, cx - 117, 0, 29, 25},
        {id::kBoss, cx - 170, 0, 53, 25},
        {id::kSound, 10, 36, 56, 23},
        {id::kRefresh, 66, 36, 57, 23},
        {id::kScreenshot, 123, 36, 63, 23},
        {id::kService, cx - 75, 36, 60, 23},
        {id::kNoviceCard, cx - 135, 36, 60, 23},
        {id::kPay, cx - 195, 36, 60, 23},
        {id::kMessages, cx - 255, 36, 60, 23},
        {id::kAccountLabel, cx - 360, 40, 100, 16},
        {id::kNewPage, kStripLeft + Offset(count), 5, 28, 16},
    }};
}

}  // namespace tabs
