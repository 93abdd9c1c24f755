#include "ui/image_loader_win.h"

#include <objidl.h>

#include <algorithm>
// The GDI+ headers expect the min and max that NOMINMAX removes.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "fw/dib_section_win.h"
#include "fw/handles_win.h"
#include "ui/image_preload_win.h"
#include "ui/skin_geometry.h"
#include "ui/wic_png_win.h"

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
    void* bits = nullptr;
    fw::ScopedBitmap dib = fw::Create32BitSection(width, height, fw::RowOrder::BottomUp, &bits);
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

// A decoded PNG resource. GDI+ may read the stream for as long as the bitmap
// lives, so the two go together; the stream is released last.
struct DecodedPng {
    std::unique_ptr<IStream, StreamRelease> stream;
    std::unique_ptr<Gdiplus::Bitmap> image;
};

// The bytes of a "PNG" resource; empty when there is none.
std::span<const std::uint8_t> PngResourceBytes(HMODULE module, UINT id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (found == nullptr) return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return {static_cast<const std::uint8_t*>(bytes), size};
}

DecodedPng DecodePngResource(HMODULE module, UINT id) {
    const std::span<const std::uint8_t> bytes = PngResourceBytes(module, id);
    if (bytes.empty()) return {};
    const ULONG size = static_cast<ULONG>(bytes.size());

    IStream* raw = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw)) || raw == nullptr) return {};
    DecodedPng png;
    png.stream.reset(raw);
    ULONG written = 0;
    if (FAILED(png.stream->Write(bytes.data(), size, &written)) || written != size) return {};

    png.image.reset(Gdiplus::Bitmap::FromStream(png.stream.get()));
    if (!png.image || png.image->GetLastStatus() != Gdiplus::Ok) return {};
    return png;
}

HBITMAP DecodePng(HMODULE module, UINT id) {
    const DecodedPng png = DecodePngResource(module, id);
    if (!png.image) return nullptr;
    HBITMAP result = ConvertToKeyedBitmap(*png.image);
    if (result == nullptr) {
        HBITMAP fallback = nullptr;
        if (png.image->GetHBITMAP(Gdiplus::Color(0xFFFF00FF), &fallback) == Gdiplus::Ok) result = fallback;
    }
    return result;
}

}  // namespace

HBITMAP LoadSkinImage(HMODULE module, UINT id) {
    if (module == nullptr) return nullptr;
    if (std::optional<PreloadedImage> image = TakePreloadedImage(module, id, ImageKind::Keyed)) return image->bitmap;
    return DecodeSkinImage(module, id);
}

HBITMAP LoadAlphaImage(HMODULE module, UINT id, SIZE* size) {
    if (module == nullptr) return nullptr;
    if (std::optional<PreloadedImage> image = TakePreloadedImage(module, id, ImageKind::Alpha)) {
        if (size != nullptr) *size = image->size;
        return image->bitmap;
    }
    return DecodeAlphaImage(module, id, size);
}

HBITMAP DecodeSkinImage(HMODULE module, UINT id) {
    if (module == nullptr) return nullptr;
    GdiplusSession gdiplus;
    if (!gdiplus.Ok()) return nullptr;
    if (HBITMAP bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(id))) return bitmap;
    return DecodePng(module, id);
}

HBITMAP DecodeAlphaImage(HMODULE module, UINT id, SIZE* size) {
    if (module == nullptr) return nullptr;
    const std::span<const std::uint8_t> bytes = PngResourceBytes(module, id);
    return DecodePremultipliedPng(bytes.data(), bytes.size(), size);
}
