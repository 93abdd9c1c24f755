#pragma once

#include <windows.h>

#include "ui/progress_fill.h"

// The painting of the image progress bar (CImgProgress), as a function of its
// window so that the control class only keeps its bitmaps and rectangles.

// The text colour that means "print with the DC's own colour".
inline constexpr COLORREF kProgressNoTextColour = 0xFFFFFFFF;

struct ImgProgressLook {
    HBITMAP track = nullptr;  // drawn in `rects.back`'s size at (0, 0)
    HBITMAP bar = nullptr;    // filled into `rects.bar`
    ui::ProgressRects rects;
    bool showText = false;
    COLORREF textColour = kProgressNoTextColour;
};

// Paints `control` (a progress control: its position and range are read with
// PBM_GETPOS and PBM_GETRANGE) onto (0, 0) of `target` in one step: the
// parent's skin beneath it, the track, the bar's two ends for the position
// (magenta transparent in both images) and, when asked, the percentage
// centred on the track. Returns the fill it drew.
ui::ProgressFill PaintImgProgress(HWND control, HDC target, const ImgProgressLook& look);

// Resizes `control` to the track's size (no move, no z-order change) and
// returns the rectangles for the track and bar images.
ui::ProgressRects FitImgProgress(HWND control, HBITMAP track, HBITMAP bar);
