#pragma once

// Owners for the system's handles. One move-only template with per-type
// traits; copying an owner does not compile. Closing keeps GetLastError as it
// was, so that an owner going out of scope on a failure path does not hide the
// failure's cause.

#include <windows.h>

#include <wincrypt.h>
#include <wininet.h>

#include <utility>

namespace fw {

template <class Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle h) : m_h(h) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_h(other.Take()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Take());
        return *this;
    }

    Handle Get() const { return m_h; }
    bool IsValid() const { return Traits::IsValid(m_h); }
    explicit operator bool() const { return IsValid(); }
    [[nodiscard]] Handle Take() { return std::exchange(m_h, Traits::Null()); }
    void Reset(Handle h = Traits::Null()) {
        if (h == m_h) return;
        Close();
        m_h = h;
    }

private:
    void Close() {
        if (!Traits::IsValid(m_h)) return;
        const DWORD error = GetLastError();
        Traits::Close(m_h);
        SetLastError(error);
        m_h = Traits::Null();
    }

    Handle m_h = Traits::Null();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};

template <class T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};

struct RegionTraits : GdiObjectTraits<HRGN> {};

// A FindFirstFileW enumeration: failure is INVALID_HANDLE_VALUE, not null.
struct FindTraits {
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { FindClose(h); }
};

struct InternetTraits {
    using Handle = HINTERNET;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { InternetCloseHandle(h); }
};

struct CryptProviderTraits {
    using Handle = HCRYPTPROV;
    static Handle Null() { return 0; }
    static bool IsValid(Handle h) { return h != 0; }
    static void Close(Handle h) { CryptReleaseContext(h, 0); }
};

struct CryptKeyTraits {
    using Handle = HCRYPTKEY;
    static Handle Null() { return 0; }
    static bool IsValid(Handle h) { return h != 0; }
    static void Close(Handle h) { CryptDestroyKey(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};

// A DC from CreateCompatibleDC / CreateDC: deleted.
struct CreatedDcTraits {
    using Handle = HDC;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedBitmap = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using ScopedFont = ScopedHandle<GdiObjectTraits<HFONT>>;
using ScopedBrush = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using ScopedRegion = ScopedHandle<RegionTraits>;
using ScopedIcon = ScopedHandle<IconTraits>;
using ScopedModule = ScopedHandle<ModuleTraits>;
using ScopedCreatedDc = ScopedHandle<CreatedDcTraits>;
using ScopedFind = ScopedHandle<FindTraits>;
using ScopedInternet = ScopedHandle<InternetTraits>;
using ScopedCryptProvider = ScopedHandle<CryptProviderTraits>;
using ScopedCryptKey = ScopedHandle<CryptKeyTraits>;
using ScopedRegKey = ScopedHandle<RegKeyTraits>;

// A DC from GetDC / GetWindowDC: released to its window, not deleted.
class ScopedGetDc {
public:
    explicit ScopedGetDc(HWND hwnd, bool wholeWindow = false)
        : m_hwnd(hwnd), m_dc(wholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    ~ScopedGetDc() {
        if (m_dc != nullptr) ReleaseDC(m_hwnd, m_dc);
    }
    ScopedGetDc(const ScopedGetDc&) = delete;
    ScopedGetDc& operator=(const ScopedGetDc&) = delete;

    HDC Get() const { return m_dc; }
    bool IsValid() const { return m_dc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// Selects an object into a DC and puts the previous one back on scope exit,
// so that the selected object can be deleted after the guard.
class ScopedSelectObject {
public:
    // A null object selects nothing (and restores nothing).
    ScopedSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (m_old != nullptr && m_old != HGDI_ERROR) SelectObject(m_dc, m_old);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory DC compatible with `reference` holding a fresh bitmap of w x h,
// selected for the DC's lifetime: the off-screen surface every skinned window
// composes into before one copy to the screen.
class MemoryCanvas {
public:
    MemoryCanvas(HDC reference, int width, int height)
        : m_dc(CreateCompatibleDC(reference)),
          m_bitmap(CreateCompatibleBitmap(reference, width > 0 ? width : 1, height > 0 ? height : 1)),
          m_select(m_dc.Get(), m_bitmap.Get()),
          m_width(width > 0 ? width : 1),
          m_height(height > 0 ? height : 1) {}
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC Dc() const { return m_dc.Get(); }
    HBITMAP Bitmap() const { return m_bitmap.Get(); }
    bool IsValid() const { return m_dc.IsValid() && m_bitmap.IsValid(); }
    // The one copy to the screen: the whole canvas to (0, 0) of `target`.
    void CopyTo(HDC target) const {
        if (IsValid()) BitBlt(target, 0, 0, m_width, m_height, m_dc.Get(), 0, 0, SRCCOPY);
    }

private:
    // Declaration order matters: the selection is undone before the bitmap
    // and the DC are deleted.
    ScopedCreatedDc m_dc;
    ScopedBitmap m_bitmap;
    ScopedSelectObject m_select;
    int m_width;
    int m_height;
};

// A memory DC with a bitmap that stays its owner's selected into it, as the
// source of blits from that bitmap.
class BitmapSourceDc {
public:
    BitmapSourceDc(HDC reference, HBITMAP bitmap)
        : m_dc(CreateCompatibleDC(reference)), m_select(m_dc.Get(), bitmap), m_valid(m_dc.IsValid() && bitmap != nullptr) {}
    BitmapSourceDc(const BitmapSourceDc&) = delete;
    BitmapSourceDc& operator=(const BitmapSourceDc&) = delete;

    HDC Dc() const { return m_dc.Get(); }
    bool IsValid() const { return m_valid; }

private:
    ScopedCreatedDc m_dc;
    ScopedSelectObject m_select;
    bool m_valid;
};

// Width and height of a bitmap, {0, 0} when it is none.
inline SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return {0, 0};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

}  // namespace fw
