#pragma once

// CScreenCapture: the still image of the screen the screenshot tool works on,
// a device-compatible bitmap selected into a memory DC. The overlay owns one
// and retakes it at every opening; the zone, the magnifier and the output
// steps read from it.

#include <windows.h>

#include "fw/handles_win.h"

class CScreenCapture {
public:
    CScreenCapture() = default;
    CScreenCapture(const CScreenCapture&) = delete;
    CScreenCapture& operator=(const CScreenCapture&) = delete;

    // Copies the screen's top-left width x height, first freeing the capture
    // it replaces. False (and no capture) when a GDI step fails.
    bool Take(int width, int height);
    // Frees the DC and the bitmap.
    void Release();

    bool IsValid() const { return m_dc.IsValid() && m_bitmap.IsValid(); }
    HDC Dc() const { return m_dc.Get(); }
    HBITMAP Bitmap() const { return m_bitmap.Get(); }

    // A new device-compatible bitmap holding the capture's `area`, selected
    // into no DC; empty when there is no capture or the area is empty.
    fw::ScopedBitmap CopyArea(const RECT& area) const;

private:
    // Members go in reverse order: the DC first, so that the bitmap is no
    // longer selected when it is deleted.
    fw::ScopedBitmap m_bitmap;
    fw::ScopedCreatedDc m_dc;
};

// Darkens w x h at (x, y) of `dc` by blending black over it with constant
// alpha `alpha` (of 255).
void DimArea(HDC dc, int x, int y, int width, int height, BYTE alpha);
