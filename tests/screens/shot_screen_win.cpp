// Shows the screenshot tool over a painted desktop, with a selection, its
// toolbar and the magnifier, and saves the whole screen for people to look at:
//   shot_screen.exe OUTPUT.png
#include <windows.h>

#include <string>

#include "fw/handles_win.h"
#include "shot/screen_shot_win.h"
#include "tests/screens/screen_util_win.h"

namespace {

// A desktop-like backdrop: a vertical gradient, a few coloured panels and a
// title, so that dimming, the bright zone and the enlarged pixels show.
LRESULT CALLBACK BackdropProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return TRUE;
    if (msg != WM_PAINT) return DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    for (int y = 0; y < client.bottom; y += 4) {
        const int t = y * 255 / (client.bottom > 0 ? client.bottom : 1);
        fw::ScopedBrush band(CreateSolidBrush(RGB(40 + t / 4, 110 + t / 3, 190 - t / 3)));
        const RECT r{0, y, client.right, y + 4};
        FillRect(dc, &r, band.Get());
    }
    const struct {
        RECT r;
        COLORREF c;
    } panels[] = {
        {{360, 220, 760, 520}, RGB(245, 245, 240)}, {{380, 270, 740, 300}, RGB(214, 72, 56)},
        {{380, 320, 600, 340}, RGB(70, 70, 80)},    {{380, 350, 700, 370}, RGB(120, 120, 130)},
        {{380, 400, 520, 500}, RGB(250, 190, 40)},  {{540, 400, 740, 500}, RGB(60, 160, 90)},
        {{900, 160, 1300, 420}, RGB(30, 40, 70)},   {{930, 190, 1270, 390}, RGB(90, 140, 230)},
    };
    for (const auto& p : panels) {
        fw::ScopedBrush brush(CreateSolidBrush(p.c));
        FillRect(dc, &p.r, brush.Get());
    }
    LOGFONTW lf{};
    lf.lfHeight = -48;
    lf.lfWeight = FW_BOLD;
    wcscpy_s(lf.lfFaceName, L"微软雅黑");
    fw::ScopedFont font(CreateFontIndirectW(&lf));
    fw::ScopedSelectObject select(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const std::wstring title = L"Corvane 截图";
    TextOutW(dc, 960, 250, title.c_str(), static_cast<int>(title.size()));
    EndPaint(hwnd, &ps);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    WNDCLASSW wc{};
    wc.lpfnWndProc = BackdropProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ShotBackdrop";
    RegisterClassW(&wc);
    HWND backdrop = CreateWindowExW(WS_EX_TOOLWINDOW, L"ShotBackdrop", L"", WS_POPUP | WS_VISIBLE, 0, 0, w, h,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    PumpFor(800);

    CScreenShot tool;
    tool.Open();
    PumpFor(300);
    // A selection dragged out over the panels, then the cursor resting inside
    // it, where the magnifier follows.
    tool.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(340, 200));
    tool.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(600, 400));
    tool.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1010, 560));
    tool.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(1010, 560));
    tool.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(745, 285));
    PumpFor(1200);

    fw::ScopedGetDc screen(nullptr);
    fw::MemoryCanvas canvas(screen.Get(), w, h);
    BitBlt(canvas.Dc(), 0, 0, w, h, screen.Get(), 0, 0, SRCCOPY);
    const bool saved = SavePng(canvas.Bitmap(), argv[1]);
    tool.Close();
    DestroyWindow(backdrop);
    return saved ? 0 : 1;
}
