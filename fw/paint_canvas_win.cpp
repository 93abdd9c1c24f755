#include "fw/paint_canvas_win.h"

#include <algorithm>

namespace fw {

CanvasStore::~CanvasStore() { Free(); }

void CanvasStore::Free() {
    if (m_oldBitmap != nullptr) SelectObject(m_dc.Get(), m_oldBitmap);
    m_oldBitmap = nullptr;
    m_dc.Reset();
    m_bitmap.Reset();
    m_width = m_height = 0;
}

HDC CanvasStore::Acquire(int width, int height) {
    if (m_lent || width <= 0 || height <= 0) return nullptr;
    if (!m_dc || width > m_width || height > m_height) {
        const int w = std::max(width, m_width), h = std::max(height, m_height);
        Free();
        // Compatible with the screen, so that the final copy is a plain one.
        ScopedGetDc screen(nullptr);
        m_dc.Reset(CreateCompatibleDC(screen.Get()));
        m_bitmap.Reset(CreateCompatibleBitmap(screen.Get(), w, h));
        if (!m_dc || !m_bitmap) {
            Free();
            return nullptr;
        }
        m_oldBitmap = SelectObject(m_dc.Get(), m_bitmap.Get());
        m_width = w;
        m_height = h;
    }
    m_lent = true;
    return m_dc.Get();
}

void CanvasStore::Release() { m_lent = false; }

RECT VisibleArea(HDC target, int width, int height) {
    const RECT extent{0, 0, std::max(width, 0), std::max(height, 0)};
    RECT clip{};
    const int kind = GetClipBox(target, &clip);
    if (kind == ERROR) return extent;
    RECT area{};
    if (kind == NULLREGION || !IntersectRect(&area, &clip, &extent)) return RECT{};
    return area;
}

ClippedCanvas::ClippedCanvas(HDC target, int width, int height, CanvasStore* store)
    : m_area(VisibleArea(target, width, height)) {
    if (IsEmpty()) return;
    const int w = m_area.right - m_area.left, h = m_area.bottom - m_area.top;
    if (store != nullptr) {
        m_dc = store->Acquire(w, h);
        if (m_dc != nullptr) m_store = store;
    }
    if (m_dc == nullptr) {
        m_ownDc.Reset(CreateCompatibleDC(target));
        m_ownBitmap.Reset(CreateCompatibleBitmap(target, w, h));
        if (!m_ownDc || !m_ownBitmap) return;
        m_ownOld = SelectObject(m_ownDc.Get(), m_ownBitmap.Get());
        m_dc = m_ownDc.Get();
    }
    SetWindowOrgEx(m_dc, m_area.left, m_area.top, &m_oldOrigin);
}

ClippedCanvas::~ClippedCanvas() {
    if (m_dc == nullptr) return;
    SetWindowOrgEx(m_dc, m_oldOrigin.x, m_oldOrigin.y, nullptr);
    if (m_store != nullptr) m_store->Release();
    if (m_ownOld != nullptr) SelectObject(m_ownDc.Get(), m_ownOld);
}

void ClippedCanvas::CopyTo(HDC target) const {
    if (m_dc == nullptr || IsEmpty()) return;
    BitBlt(target, m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top, m_dc,
           m_area.left, m_area.top, SRCCOPY);
}

}  // namespace fw
