// `make bench`'s repaint benchmark, run under Wine on a screen of at least
// 1920 x 1080: the main frame at that size with three game pages open,
// repainted whole (its erase into its window DC, as when it is uncovered)
// against one BitBlt of a 1920 x 1080 bitmap into the same DC. Each run
// times a batch of repaints, so that one figure is well above the clock's
// step.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <optional>
#include <string>

#include "app/process_state.h"
#include "app/settings_store_win.h"
#include "browser/corvane3_dlg_win.h"
#include "fw/handles_win.h"
#include "fw/wnd_win.h"
#include "res/resource.h"
#include "tests/bench/bench_compare.h"
#include "tests/win/loopback_server_win.h"

namespace {

constexpr double kTarget = 0.5;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kBatch = 40;
// The port every host of this program's control block names.
constexpr uint16_t kPort = 7294;

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            if (fw::PreTranslate(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

bool Login(HWND frame, const std::wstring& label) {
    ThePendingGameAddress() = L"http://127.0.0.1:7294/game/play.html";
    std::wstring text = label + L"||Pauth=tok||ptusertype=1||logingame=7251";
    std::u16string units(text.begin(), text.end());
    units.push_back(u'\0');
    COPYDATASTRUCT data{0, static_cast<DWORD>(units.size() * 2), units.data()};
    const bool opened = SendMessageW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) == 1;
    Pump(100);
    return opened;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

template <typename Work>
std::optional<double> TimeBatch(Work work) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kBatch; ++i) {
        if (!work()) return std::nullopt;
    }
    GdiFlush();
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

}  // namespace

int wmain() {
    // The frame reads and writes its settings file, which the install step
    // would have made.
    const std::wstring settings = SettingsFilePath();
    SHCreateDirectoryExW(nullptr, settings.substr(0, settings.rfind(L'\\')).c_str(), nullptr);
    CWinLoopbackServer server(kPort, CWinLoopbackServer::AnswerOk);

    CCorvane3Dlg frame;
    if (!frame.Create(IDD_MAIN_FRAME, nullptr)) {
        std::printf("bench repaint: the frame was not created\n");
        return 1;
    }
    frame.ShowWindow(SW_SHOW);
    Pump(200);
    const bool opened = Login(frame.m_hWnd, L"12服-一区-账号甲") && Login(frame.m_hWnd, L"13服-二区-账号乙") &&
                        Login(frame.m_hWnd, L"14服-三区-account_c");
    frame.LoginBackground().ShowWindow(SW_HIDE);
    ::SetWindowPos(frame.m_hWnd, HWND_TOP, 0, 0, kWidth, kHeight, SWP_SHOWWINDOW);
    Pump(300);
    RECT client{};
    frame.GetClientRect(&client);
    if (!opened || frame.PageCount() != 3 || client.right != kWidth || client.bottom != kHeight) {
        std::printf("bench repaint: the frame is %ldx%ld with %zu pages, not %dx%d with 3 (screen %dx%d)\n",
                    client.right, client.bottom, frame.PageCount(), kWidth, kHeight, GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN));
        frame.DestroyWindow();
        return 1;
    }

    fw::ScopedGetDc windowDc(frame.m_hWnd);
    fw::MemoryCanvas picture(windowDc.Get(), kWidth, kHeight);
    if (!windowDc.IsValid() || !picture.IsValid()) {
        std::printf("bench repaint: no DC\n");
        frame.DestroyWindow();
        return 1;
    }
    // The frame paints everything on erase; its paint message draws nothing
    // unless it is minimised, and what its default processing costs (the
    // system's validation of the window) any window pays.
    auto repaint = [&] {
        return TimeBatch([&] {
            return ::SendMessageW(frame.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(windowDc.Get()), 0) != 0;
        });
    };
    auto blit = [&] {
        return TimeBatch([&] {
            return ::BitBlt(windowDc.Get(), 0, 0, kWidth, kHeight, picture.Dc(), 0, 0, SRCCOPY) != FALSE;
        });
    };
    bool met = false;
    const bool ok = repaint() && blit() && bench::Compare("repaint", kTarget, repaint, blit, met);
    frame.DestroyWindow();
    return ok && met ? 0 : 1;
}
