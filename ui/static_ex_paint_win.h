#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string_view>

#include "ui/line_walk.h"
#include "fw/handles_win.h"
#include "fw/image_list_win.h"

// The painting of the skinned static control (CStaticEx), as functions of its
// window so that the control class only keeps its members and forwards its
// messages here.

// What the control's members say about how its text looks.
struct StaticExLook {
    std::wstring_view text;
    COLORREF textColour = 0;
    COLORREF hoverColour = 0;
    bool useHoverColour = false;
    bool hovered = false;
    int lineSpacing = ui::kStaticDefaultLineSpacing;
};

// What is drawn beside the text: the image list's image 0 when there is an
// image list, else the icon, drawn 16 x 16.
struct StaticExImage {
    HIMAGELIST images = nullptr;
    SIZE imageSize{0, 0};
    HICON icon = nullptr;
    bool imageRight = false;

    // The size the layout reserves: the image's, 16 x 16 for an icon alone.
    SIZE LayoutSize() const;
};

// The control's font: the window's font (or the stock system font when it has
// none) with the control's height, weight, width, underline and face. The
// caller keeps it for the control's life; it is built once.
fw::ScopedFont CreateStaticExFont(HWND control, int fontHeight, int fontWeight, int fontWidth,
                                   bool underline);

// Background and image: the parent's skin beneath the control, then the image
// (transparent) or icon, into `dc`, which covers the control's window area.
void PaintStaticExBackground(HWND control, HDC dc, const StaticExImage& image);

// The text: walks `look.text` into lines that fit beside the image, draws
// them with the format the control's style asks for, and grows the control
// (keeping its place and width) when it is lower than the lines need. Returns
// the walk.
ui::StaticWalk DrawStaticExLines(HWND control, HDC dc, const StaticExLook& look, HFONT font,
                                 const StaticExImage& image);

// The whole paint: background, image and text composed off-screen and copied
// to (0, 0) of `target` in one step.
ui::StaticWalk PaintStaticEx(HWND control, HDC target, const StaticExLook& look, HFONT font,
                             const StaticExImage& image);

// The image list SetImage builds: one image of the bitmap's size, masked with
// magenta, made in `list` (any earlier one dropped). The bitmap stays the
// caller's. FALSE, with an empty list, when the bitmap is not one.
BOOL MakeStaticExImageList(HBITMAP bitmap, CImageList& list, SIZE* size);
