#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owners for the GDI objects the skinned controls create while painting.
struct GdiObjectDeleter {
    void operator()(void* object) const {
        if (object != nullptr) DeleteObject(static_cast<HGDIOBJ>(object));
    }
};
template <class Handle>
using GdiOwner = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

// Selects an object into a DC for a scope and puts the previous one back, so
// an owned object is never deleted while still selected.
class CSelectGuard {
public:
    CSelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? SelectObject(dc, object) : nullptr) {}
    ~CSelectGuard() {
        if (m_old != nullptr && m_old != HGDI_ERROR) SelectObject(m_dc, m_old);
    }
    CSelectGuard(const CSelectGuard&) = delete;
    CSelectGuard& operator=(const CSelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// An off-screen bitmap compatible with a target DC. A skinned control composes
// its parent's background, its images and its text here and copies the result
// in one step, so repaints do not flicker.
class COffscreen {
public:
    COffscreen(HDC compatibleWith, int width, int height);
    ~COffscreen();
    COffscreen(const COffscreen&) = delete;
    COffscreen& operator=(const COffscreen&) = delete;

    bool IsValid() const { return m_dc != nullptr && m_old != nullptr; }
    HDC Dc() const { return m_dc; }
    // Copies the whole bitmap to (0, 0) of `target` (SRCCOPY).
    void CopyTo(HDC target) const;

private:
    HDC m_dc = nullptr;
    GdiOwner<HBITMAP> m_bitmap;
    HGDIOBJ m_old = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// A DC whose only purpose is to be the source of a blit from `bitmap`.
class CBitmapSourceDc {
public:
    CBitmapSourceDc(HDC compatibleWith, HBITMAP bitmap);
    ~CBitmapSourceDc();
    CBitmapSourceDc(const CBitmapSourceDc&) = delete;
    CBitmapSourceDc& operator=(const CBitmapSourceDc&) = delete;

    bool IsValid() const { return m_dc != nullptr && m_old != nullptr && m_old != HGDI_ERROR; }
    HDC Dc() const { return m_dc; }

private:
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// Width and height of a bitmap, {0, 0} when it has none.
SIZE BitmapSize(HBITMAP bitmap);
