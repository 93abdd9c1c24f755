#include "ui/image_loader_win.h"

#include <objidl.h>

#include <algorithm>
// The GDI+ headers expect the min and max that NOMINMAX removes.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <memory>

#include "fw/handles_win.h"
#include "ui/skin_geometry.h"

namespace {

// GDI+ for the length of one call: the loader is used before the
// application starts GDI+ for itself and after it stops it.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (m_ok) Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

struct StreamRelease {
    void operator()(IStream* s) const { s->Release(); }
};

HBITMAP ConvertToKeyedBitmap(Gdiplus::Bitmap& image) {
    const int width = static_cast<int>(image.GetWidth());
    const int height = static_cast<int>(image.GetHeight());
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::ScopedBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || bits == nullptr) return nullptr;
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (image.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return nullptr;
    skin::ConvertToKeyed(static_cast<const std::uint8_t*>(data.Scan0), data.Stride, width, height,
                         static_cast<std::uint8_t*>(bits));
    image.UnlockBits(&data);
    GdiFlush();
    return dib.Take();
}

std::unique_ptr<Gdiplus::Bitmap> DecodePngResource(HMODULE module, UINT id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (found == nullptr) return nullptr;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return nullptr;

    IStream* raw = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw)) || raw == nullptr) return nullptr;
    std::unique_ptr<IStream, StreamRelease> stream(raw);
    ULONG written = 0;
    if (FAILED(stream->Write(bytes, size, &written)) || written != size) return nullptr;

    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return nullptr;
    // Decoded now: the bitmap no longer needs the stream's bytes.
    std::unique_ptr<Gdiplus::Bitmap> copy(image->Clone(0, 0, image->GetWidth(), image->GetHeight(),
                                                       PixelFormat32bppARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return copy;
}

HBITMAP DecodePng(HMODULE module, UINT id) {
    std::unique_ptr<Gdiplus::Bitmap> image = DecodePngResource(module, id);
    if (!image) return nullptr;
    HBITMAP result = ConvertToKeyedBitmap(*image);
    if (result == nullptr) {
        HBITMAP fallback = nullptr;
        if (image->GetHBITMAP(Gdiplus::Color(0xFFFF00FF), &fallback) == Gdiplus::Ok) result = fallback;
    }
    return result;
}

}  // namespace

HBITMAP LoadSkinImage(HMODULE module, UINT id) {
    if (module == nullptr) return nullptr;
    GdiplusSession gdiplus;
    if (!gdiplus.Ok()) return nullptr;
    if (HBITMAP bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(id))) return bitmap;
    return DecodePng(module, id);
}

HBITMAP LoadAlphaImage(HMODULE module, UINT id, SIZE* size) {
    if (module == nullptr) return nullptr;
    GdiplusSession gdiplus;
    if (!gdiplus.Ok()) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> image = DecodePngResource(module, id);
    if (!image) return nullptr;
    const int width = static_cast<int>(image->GetWidth());
    const int height = static_cast<int>(image->GetHeight());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as GDI+ lays out its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::ScopedBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || bits == nullptr) return nullptr;
    {
        // Drawn straight into the section's memory as premultiplied ARGB:
        // GDI+ drawing through a DC would leave the alpha bytes undefined.
        Gdiplus::Bitmap target(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
        Gdiplus::Graphics graphics(&target);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        if (graphics.DrawImage(image.get(), 0, 0, width, height) != Gdiplus::Ok) return nullptr;
    }
    GdiFlush();
    if (size != nullptr) *size = SIZE{width, height};
    return dib.Take();
}
