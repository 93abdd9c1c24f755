#include "ui/img_progress_win.h"

BEGIN_MESSAGE_MAP(CImgProgress, CProgressCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {

RECT ToRect(const ui::PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }
ui::PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

CImgProgress::~CImgProgress() {
    // The window goes before the bitmaps a last paint would draw.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CImgProgress::SetImages(HBITMAP hBack, HBITMAP hBar) {
    m_hBmpBack.Reset(hBack);
    m_hBmpBar.Reset(hBar);
    const ui::ProgressRects rects = FitImgProgress(m_hWnd, m_hBmpBack.Get(), m_hBmpBar.Get());
    m_rcBack = ToRect(rects.back);
    m_rcBar = ToRect(rects.bar);
    return TRUE;
}

BOOL CImgProgress::OnEraseBkgnd(HDC) { return TRUE; }

void CImgProgress::OnPaint() {
    PAINTSTRUCT paint{};
    const HDC target = BeginPaint(m_hWnd, &paint);
    if (target == nullptr) return;
    ImgProgressLook look;
    look.track = m_hBmpBack.Get();
    look.bar = m_hBmpBar.Get();
    look.rects = {ToPixelRect(m_rcBack), ToPixelRect(m_rcBar)};
    look.showText = m_bShowText != FALSE;
    look.textColour = m_clrText;
    m_lastFill = PaintImgProgress(m_hWnd, target, look);
    EndPaint(m_hWnd, &paint);
}
