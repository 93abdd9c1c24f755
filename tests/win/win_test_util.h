#pragma once

// Helpers shared by the Windows UI tests: reading pixels back from bitmaps
// and DCs.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace wintest {

// The bitmap's pixels top-down as 0x00RRGGBB.
inline std::vector<std::uint32_t> Pixels(HBITMAP bitmap, int* width = nullptr, int* height = nullptr) {
    BITMAP bm{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof bm, &bm) == 0) return {};
    std::vector<std::uint32_t> px(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), px.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (auto& p : px) p &= 0xFFFFFF;
    if (width) *width = bm.bmWidth;
    if (height) *height = bm.bmHeight;
    return px;
}

// How many opaque pixels of frame `frame` of `strip` (`frames` equal frames
// side by side) `shown` does not show with its top-left corner at (x, y);
// `shown` is a picture `width` wide as Pixels() reads one. The strip's magenta
// is its transparent colour and counts for nothing, and so do the pixels of
// `shown` that `seen` (when given) says another window covers. -1 when the
// strip is missing, its frame does not fit or no pixel of it could be seen.
inline int SkinFrameMisses(const std::vector<std::uint32_t>& shown, int width, int x, int y, HBITMAP strip,
                           int frames, int frame = 0, const std::function<bool(int, int)>& seen = nullptr) {
    int stripWidth = 0, stripHeight = 0;
    const std::vector<std::uint32_t> skin = Pixels(strip, &stripWidth, &stripHeight);
    const int frameWidth = frames > 0 ? stripWidth / frames : 0;
    const int height = width > 0 ? static_cast<int>(shown.size()) / width : 0;
    if (skin.empty() || frameWidth == 0 || x < 0 || y < 0 || x + frameWidth > width || y + stripHeight > height)
        return -1;
    int misses = 0, checked = 0;
    for (int row = 0; row < stripHeight; ++row) {
        for (int col = 0; col < frameWidth; ++col) {
            const std::uint32_t want = skin[static_cast<std::size_t>(row) * stripWidth + frame * frameWidth + col];
            if (want == 0xFF00FF || (seen && !seen(x + col, y + row))) continue;
            ++checked;
            if (shown[static_cast<std::size_t>(y + row) * width + x + col] != want) ++misses;
        }
    }
    return checked > 0 ? misses : -1;
}

inline std::uint32_t ToRgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A 32-bit top-down DIB section to paint into, with a DC.
class Surface {
public:
    Surface(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Surface() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    // Every pixel, top-down, as Pixels() reads a bitmap.
    std::vector<std::uint32_t> All() const {
        GdiFlush();
        std::vector<std::uint32_t> px(m_bits, m_bits + static_cast<std::size_t>(m_width) * m_height);
        for (auto& p : px) p &= 0xFFFFFF;
        return px;
    }
    std::uint32_t At(int x, int y) const {
        GdiFlush();
        return m_bits[static_cast<std::size_t>(y) * m_width + x] & 0xFFFFFF;
    }
    void Set(int x, int y, std::uint32_t rgb) { m_bits[static_cast<std::size_t>(y) * m_width + x] = rgb; }
    void Fill(std::uint32_t rgb) {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = rgb;
    }

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    std::uint32_t* m_bits = nullptr;
};

// Runs the messages waiting for this thread.
inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace wintest
