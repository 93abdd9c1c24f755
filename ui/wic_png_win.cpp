#include "ui/wic_png_win.h"

#include <objbase.h>
#include <wincodec.h>

#include <climits>

#include "fw/com_util_win.h"
#include "fw/dib_section_win.h"
#include "fw/handles_win.h"
#include "ui/png_fast_decode.h"

namespace {

// COM for the length of one decode, on whatever thread decodes: a thread
// already in an apartment keeps it.
class ComScope {
public:
    ComScope() : m_hr(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Usable() const { return SUCCEEDED(m_hr) || m_hr == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_hr;
};

}  // namespace

HBITMAP DecodePremultipliedPng(const void* bytes, size_t byteCount, SIZE* size) {
    if (bytes == nullptr || byteCount == 0 || byteCount > UINT_MAX) return nullptr;
    fw::ScopedBitmap dib;
    SIZE decoded{};
    const auto section = [&](uint32_t width, uint32_t height) -> uint8_t* {
        void* bits = nullptr;
        dib = fw::Create32BitSection(static_cast<int>(width), static_cast<int>(height), fw::RowOrder::TopDown, &bits);
        decoded = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
        return static_cast<uint8_t*>(bits);
    };
    if (png::DecodePremultipliedBgra({static_cast<const uint8_t*>(bytes), byteCount}, section) ==
        png::Result::Decoded) {
        GdiFlush();
        if (size != nullptr) *size = decoded;
        return dib.Take();
    }
    // Any other kind, and whatever the quick decoder finds unsound, goes to
    // the system's decoder, which has the last word.
    return DecodePremultipliedPngWithWic(bytes, byteCount, size);
}

HBITMAP DecodePremultipliedPngWithWic(const void* bytes, size_t byteCount, SIZE* size) {
    if (bytes == nullptr || byteCount == 0 || byteCount > UINT_MAX) return nullptr;
    ComScope com;
    if (!com.Usable()) return nullptr;
    fw::ComPtr<IWICImagingFactory> factory;
    fw::ComPtr<IWICStream> stream;
    fw::ComPtr<IWICBitmapDecoder> decoder;
    fw::ComPtr<IWICBitmapFrameDecode> frame;
    fw::ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)),
                                            static_cast<DWORD>(byteCount))) ||
        FAILED(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, &decoder)) ||
        FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height))) {
        return nullptr;
    }
    // A section's rows and size must fit its 32-bit fields.
    if (width == 0 || height == 0 || width > INT_MAX / 4 || height > UINT_MAX / (width * 4)) return nullptr;

    void* bits = nullptr;
    // Top-down, as the decoder hands out its rows.
    fw::ScopedBitmap dib =
        fw::Create32BitSection(static_cast<int>(width), static_cast<int>(height), fw::RowOrder::TopDown, &bits);
    if (!dib || bits == nullptr) return nullptr;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) return nullptr;
    GdiFlush();
    if (size != nullptr) *size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
    return dib.Take();
}
