#include "tests/screens/screen_util_win.h"

#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "fw/handles_win.h"
#include "ui/image_loader_win.h"

HBITMAP Png(UINT id) { return LoadSkinImage(GetModuleHandleW(nullptr), id); }

bool SavePng(HBITMAP bitmap, const std::wstring& path) {
    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool ok = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        ok = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

bool SaveScreenArea(int x, int y, int width, int height, const std::wstring& path) {
    fw::ScopedGetDc screen(nullptr);
    fw::MemoryCanvas canvas(screen.Get(), width, height);
    BitBlt(canvas.Dc(), 0, 0, width, height, screen.Get(), x, y, SRCCOPY);
    return SavePng(canvas.Bitmap(), path);
}

void PumpFor(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}
