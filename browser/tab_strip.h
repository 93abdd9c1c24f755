#pragma once

// Geometry of the main frame in client pixels: the tab strip above the game
// pages, its close buttons, the "+" button after the last tab, the page area
// and the row of controls that follows the frame's width.

#include <array>
#include <optional>

namespace tabs {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

inline constexpr int kStripLeft = 130;
inline constexpr int kTabWidth = 176;
inline constexpr int kTabHeight = 22;
inline constexpr int kCloseSize = 14;
inline constexpr int kMaxPages = 3;

Rect TabRect(int index);
Rect CloseButtonRect(int index);
Rect TabTextRect(int index);
Rect NewPageButtonRect(int count);
// The band repainted when tabs come or go: the strip up to the "+" button.
Rect StripRect(int count);
// The band repainted after a tab was closed: one tab wider, so that the
// tab that disappeared is wiped too.
Rect StripRectAfterClose(int count);

// The client rectangle less 4 at left, right and bottom and 65 at the top;
// the same inset applies to the frame's window rectangle in screen pixels.
Rect PageArea(const Rect& outer);

struct Size {
    int cx = 0;
    int cy = 0;
};
Size MinimumFrameSize(int count);

// The tab under a client point, if the point lies in the strip's hit area.
std::optional<int> TabAt(int x, int y, int count);

// The close button's look for the mouse over tab `index`: 0 normal, 1 hover,
// 2 pressed (hover with the left button down).
int CloseButtonState(int index, int x, int y, bool leftButtonDown);
// A press that arms the close button, and the release that closes the tab.
bool PressOnCloseButton(int index, int x, int y);
bool ReleaseOnCloseButton(int index, int x, int y);

// Tab frame in the tab image strip: 0 normal, 1 hover, 2 current.
int TabImageFrame(int index, int current, int hovered);

// Control ids of the frame's tool and web buttons and the account label.
namespace id {
inline constexpr int kBoss = 1001;
inline constexpr int kSound = 1002;
inline constexpr int kToolMenu = 1003;
inline constexpr int kNewPage = 1026;
inline constexpr int kRefresh = 1027;
inline constexpr int kScreenshot = 1028;
inline constexpr int kService = 1029;
inline constexpr int kNoviceCard = 1030;
inline constexpr int kPay = 1031;
inline constexpr int kMessages = 1032;
inline constexpr int kAccountLabel = 1033;
}  // namespace id

struct Placement {
    int id = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};
inline constexpr int kPlacedControls = 11;
// Where every control goes for a client width `cx` and `count` open pages.
std::array<Placement, kPlacedControls> ControlLayout(int cx, int count);

}  // namespace tabs
