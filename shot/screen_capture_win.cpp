#include "shot/screen_capture_win.h"

bool CScreenCapture::Take(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return false;
    fw::ScopedGetDc screen(nullptr, true);
    if (!screen.IsValid()) return false;
    fw::ScopedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    fw::ScopedCreatedDc dc(CreateCompatibleDC(screen.Get()));
    if (!dc || !bitmap) return false;
    SelectObject(dc.Get(), bitmap.Get());
    if (!BitBlt(dc.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY)) return false;
    m_bitmap = std::move(bitmap);
    m_dc = std::move(dc);
    return true;
}

void CScreenCapture::Release() {
    m_dc.Reset();
    m_bitmap.Reset();
}

fw::ScopedBitmap CScreenCapture::CopyArea(const RECT& area) const {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (!IsValid() || width <= 0 || height <= 0) return {};
    fw::ScopedBitmap copy(CreateCompatibleBitmap(m_dc.Get(), width, height));
    fw::ScopedCreatedDc target(CreateCompatibleDC(m_dc.Get()));
    if (!copy || !target) return {};
    bool copied = false;
    {
        fw::ScopedSelectObject select(target.Get(), copy.Get());
        copied = BitBlt(target.Get(), 0, 0, width, height, m_dc.Get(), area.left, area.top, SRCCOPY) != FALSE;
    }
    if (!copied) return {};
    return copy;
}

void DimArea(HDC dc, int x, int y, int width, int height, BYTE alpha) {
    // One black pixel stretched over the area blends the same as a black
    // bitmap of the area's size, without allocating one per paint.
    fw::ScopedCreatedDc black(CreateCompatibleDC(dc));
    fw::ScopedBitmap pixel(CreateCompatibleBitmap(dc, 1, 1));
    if (!black || !pixel) return;
    fw::ScopedSelectObject select(black.Get(), pixel.Get());
    PatBlt(black.Get(), 0, 0, 1, 1, BLACKNESS);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    AlphaBlend(dc, x, y, width, height, black.Get(), 0, 0, 1, 1, blend);
}
