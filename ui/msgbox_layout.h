#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/pixel_rect.h"

// Layout and results of the skinned message box. The window class measures
// the text in its font and asks these functions where everything goes, so the
// rules are the same in the program and in the native tests.
namespace ui {

// Style codes the box accepts; they are the system message box's, so callers
// pass the same values they would pass to MessageBox. Any other value behaves
// as kMsgBoxOk.
inline constexpr int kMsgBoxOk = 0;
inline constexpr int kMsgBoxOkCancel = 1;
inline constexpr int kMsgBoxYesNo = 4;

// Results, the system's button codes.
inline constexpr int kMsgBoxIdOk = 1;
inline constexpr int kMsgBoxIdCancel = 2;
inline constexpr int kMsgBoxIdYes = 6;
inline constexpr int kMsgBoxIdNo = 7;

// Command ids of the two buttons.
inline constexpr int kMsgBoxFirstButtonId = 5000;
inline constexpr int kMsgBoxSecondButtonId = 5001;

// Button labels.
inline constexpr std::wstring_view kMsgBoxLabelYes = L"是";
inline constexpr std::wstring_view kMsgBoxLabelNo = L"否";
inline constexpr std::wstring_view kMsgBoxLabelOk = L"确定";
inline constexpr std::wstring_view kMsgBoxLabelCancel = L"取消";

// Skin resources (PNG ids) and frame settings of the box's skinned frame.
inline constexpr int kMsgBoxSkinId = 131;         // 30 x 51 frame skin, nine-slice
inline constexpr int kMsgBoxCloseStripId = 165;   // 132 x 27 close-button strip
inline constexpr int kMsgBoxButtonStripId = 133;  // 228 x 23, four 57 x 23 frames
inline constexpr int kMsgBoxDialogTemplateId = 130;
inline constexpr int kMsgBoxCaptionHeight = 30;
inline constexpr int kMsgBoxBorder = 4;
inline constexpr int kMsgBoxCaptionButtonRight = 0;
inline constexpr int kMsgBoxCaptionButtonTop = 0;
inline constexpr int kMsgBoxCaptionButtonGap = 0;

// Text colour (COLORREF, 0x00BBGGRR) and where the text block starts.
inline constexpr uint32_t kMsgBoxTextColour = 0x999999;
inline constexpr int kMsgBoxTextTop = 55;
inline constexpr int kMsgBoxLineGap = 3;

// Margins around the text and the buttons.
inline constexpr int kMsgBoxSideMargin = 60;     // added to the wider of text and button pair
inline constexpr int kMsgBoxHeightExtra = 90;    // added to text and button height
inline constexpr int kMsgBoxButtonBottom = 30;   // buttons end this far above the client bottom
inline constexpr int kMsgBoxButtonHalfGap = 10;  // each button of a pair keeps this off the centre

struct MsgBoxSize {
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const MsgBoxSize&, const MsgBoxSize&) = default;
};

struct MsgBoxButton {
    int id = 0;
    std::wstring_view label;
    PixelRect rect;  // client coordinates
};

// One line of the text as it is painted: `text` is a view into the text
// passed in (it stays valid as long as that text does).
struct MsgBoxTextLine {
    std::wstring_view text;
    PixelRect rect;  // client coordinates; drawn left-aligned, format 0
};

// 1 + the number of '\n' in `text`; a "\r\n" line end counts once.
int MsgBoxLineCount(std::wstring_view text);

// Window size from the measured text (width and height of the whole text in
// the box's font), the line count and the button strip's size (four frames
// side by side, so one button is stripWidth / 4 wide and stripHeight high).
// The box is as wide as the text plus the side margin, but never narrower
// than two buttons plus that margin (174 pixels with the usual strip).
// Negative measurements count as 0.
MsgBoxSize MsgBoxWindowSize(int textWidth, int textHeight, int lineCount, int stripWidth,
                            int stripHeight);

// The buttons for `style` in a client area of the given size: two for
// kMsgBoxYesNo ("是", "否") and kMsgBoxOkCancel ("确定", "取消") on either side
// of the centre, one centred "确定" for any other style. Halves are signed
// integer divisions (truncating toward zero), as the window class computes
// them, so a client narrower than a button still places it predictably.
std::vector<MsgBoxButton> MsgBoxButtons(int style, int clientWidth, int clientHeight, int stripWidth,
                                        int stripHeight);

// The pieces of `text` between '\n' characters (a '\r' ending a piece is left
// out, it would only start an empty line), each in its own rectangle: the
// block is textWidth wide, centred in the client width; the first line spans
// top 55 to 55 + lh, each next one lh + 3 lower, lh = textHeight / lineCount.
std::vector<MsgBoxTextLine> MsgBoxTextLines(std::wstring_view text, int clientWidth, int textWidth,
                                            int textHeight);

// The result a button command ends the box with, or 0 for a command id that
// is not one of the box's buttons (the box stays open).
int MsgBoxCommandResult(int style, int commandId);

// Closing the box from its caption (WM_CLOSE) answers "cancel" whatever the
// style, so a yes/no question closed that way is not taken as "no".
inline constexpr int kMsgBoxCloseResult = kMsgBoxIdCancel;

}  // namespace ui
