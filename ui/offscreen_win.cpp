#include "ui/offscreen_win.h"

COffscreen::COffscreen(HDC compatibleWith, int width, int height)
    : m_dc(CreateCompatibleDC(compatibleWith)), m_width(width), m_height(height) {
    if (m_dc == nullptr || width <= 0 || height <= 0) return;
    m_bitmap.reset(CreateCompatibleBitmap(compatibleWith, width, height));
    if (m_bitmap) m_old = SelectObject(m_dc, m_bitmap.get());
    if (m_old == HGDI_ERROR) m_old = nullptr;
}

COffscreen::~COffscreen() {
    if (m_old != nullptr) SelectObject(m_dc, m_old);
    if (m_dc != nullptr) DeleteDC(m_dc);
}

void COffscreen::CopyTo(HDC target) const {
    if (IsValid()) BitBlt(target, 0, 0, m_width, m_height, m_dc, 0, 0, SRCCOPY);
}

CBitmapSourceDc::CBitmapSourceDc(HDC compatibleWith, HBITMAP bitmap) : m_dc(CreateCompatibleDC(compatibleWith)) {
    if (m_dc != nullptr && bitmap != nullptr) m_old = SelectObject(m_dc, bitmap);
}

CBitmapSourceDc::~CBitmapSourceDc() {
    if (m_old != nullptr && m_old != HGDI_ERROR) SelectObject(m_dc, m_old);
    if (m_dc != nullptr) DeleteDC(m_dc);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return {0, 0};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}
