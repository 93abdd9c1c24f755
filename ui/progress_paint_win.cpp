#include "ui/progress_paint_win.h"

#include <commctrl.h>

#include <cwchar>

#include "fw/handles_win.h"
#include "ui/parent_background_win.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

void BlitKeyed(HDC dc, int x, int y, int width, int height, HDC source, int sourceX) {
    if (width <= 0 || height <= 0) return;
    TransparentBlt(dc, x, y, width, height, source, sourceX, 0, width, height, kMagenta);
}

}  // namespace

ui::ProgressRects FitImgProgress(HWND control, HBITMAP track, HBITMAP bar) {
    const SIZE trackSize = fw::BitmapSize(track);
    const SIZE barSize = fw::BitmapSize(bar);
    SetWindowPos(control, nullptr, 0, 0, trackSize.cx, trackSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return ui::ProgressLayout(trackSize.cx, trackSize.cy, barSize.cx, barSize.cy);
}

ui::ProgressFill PaintImgProgress(HWND control, HDC target, const ImgProgressLook& look) {
    const ui::PixelRect& back = look.rects.back;
    const ui::PixelRect& barRect = look.rects.bar;
    const fw::MemoryCanvas offscreen(target, back.Width(), back.Height());
    if (!offscreen.IsValid()) return {};
    const HDC dc = offscreen.Dc();
    PaintParentBackground(control, dc);

    if (look.track != nullptr) {
        const fw::BitmapSourceDc source(dc, look.track);
        if (source.IsValid()) {
            TransparentBlt(dc, 0, 0, back.Width(), back.Height(), source.Dc(), 0, 0, back.Width(), back.Height(),
                           kMagenta);
        }
    }

    const auto pos = static_cast<int>(SendMessageW(control, PBM_GETPOS, 0, 0));
    PBRANGE range{};
    SendMessageW(control, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    const ui::ProgressFill fill = ui::ComputeProgressFill(barRect, pos, range.iLow, range.iHigh);
    if (look.bar != nullptr && fill.filled > 0) {
        const fw::BitmapSourceDc source(dc, look.bar);
        if (source.IsValid()) {
            BlitKeyed(dc, fill.leftDestX, barRect.top, fill.leftColumns, barRect.Height(), source.Dc(), 0);
            BlitKeyed(dc, fill.rightDestX, barRect.top, fill.rightColumns, barRect.Height(), source.Dc(),
                      fill.rightSourceX);
        }
    }

    if (look.showText) {
        wchar_t text[16];
        swprintf(text, 16, L"%d%%", ui::ProgressPercent(pos, range.iLow, range.iHigh));
        if (look.textColour != kProgressNoTextColour) SetTextColor(dc, look.textColour);
        SetBkMode(dc, TRANSPARENT);
        RECT rect{back.left, back.top, back.right, back.bottom};
        DrawTextW(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    offscreen.CopyTo(target);
    return fill;
}
