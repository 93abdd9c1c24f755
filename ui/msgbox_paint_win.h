#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "ui/msgbox_layout.h"

// The message box's text measuring and painting, as functions of a DC and
// the box's font, so that the box class keeps only its members and buttons.

// Width and height of the whole text in `font` (DrawTextW with DT_CALCRECT,
// line breaks honoured).
SIZE MeasureMsgBoxText(HDC dc, HFONT font, std::wstring_view text);

// The window size for `text` with a button strip of `strip` (the strip
// bitmap's size), measured in `font` on the box's own DC.
ui::MsgBoxSize MsgBoxWindowSizeFor(HWND box, HFONT font, std::wstring_view text, SIZE strip);

// Draws the text into `dc` as the box paints it: grey, transparent, each line
// left-aligned in its own rectangle of a block centred in `clientWidth`,
// starting 55 pixels from the top. Returns the lines drawn.
std::vector<ui::MsgBoxTextLine> DrawMsgBoxText(HDC dc, HFONT font, std::wstring_view text, int clientWidth);

// The text painting of WM_PAINT (after the default handling): draws on the
// box's window DC.
void PaintMsgBoxText(HWND box, HFONT font, std::wstring_view text);
