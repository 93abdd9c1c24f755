// The demo's tour: with the client showing its login face, logs three
// accounts in as the login page would (Wine renders no page to click),
// switches tabs, opens the tool menu, hides and restores the frame with the
// boss key and leaves through the tray menu, saving a screenshot of each
// step in the folder it is given. Prints what it did; exits 1 when a step failed.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>
#include <string>

#include "app/settings_store_win.h"
#include "browser/tab_strip.h"
#include "tests/e2e/client_run_win.h"
#include "tests/e2e/frame_driver_win.h"
#include "fw/handles_win.h"
#include "tests/screens/screen_util_win.h"
#include "tests/win/frame_skins.h"
#include "tests/win/win_test_util.h"
#include "tools/shortcuts_win.h"

namespace {

bool g_failed = false;

void Step(bool ok, const char* what) {
    std::printf("tour: %s: %s\n", what, ok ? "ok" : "FAILED");
    std::fflush(stdout);
    g_failed = g_failed || !ok;
}

// The client may be the copy that a first run installed and started, so
// its frame is looked for in every process.
HWND WaitForFrame(DWORD ms) {
    HWND frame = nullptr;
    PumpUntil(ms, [&] {
        frame = FindWindowWhere([](HWND window) { return IsWindowVisible(window) && IsMainFrame(window); });
        return frame != nullptr;
    });
    return frame;
}

std::wstring g_screens;

bool Shoot(HWND window, const wchar_t* name) {
    PumpUntil(600, nullptr);  // let the client paint
    RECT rect{};
    GetWindowRect(window, &rect);
    return SaveScreenArea(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                          g_screens + L"\\" + name);
}

// The windows above `frame` on the screen that are not its own. Wine's tray
// window, which has no taskbar to sit in without a window manager, shows over
// the frame's top left whatever the windows' order says.
std::vector<RECT> CoveringWindows(HWND frame) {
    std::vector<RECT> covering;
    RECT r{};
    for (HWND above = GetWindow(frame, GW_HWNDPREV); above != nullptr; above = GetWindow(above, GW_HWNDPREV)) {
        if (IsWindowVisible(above) && GetWindow(above, GW_OWNER) != frame && GetWindowRect(above, &r))
            covering.push_back(r);
    }
    for (HWND tray = nullptr; (tray = FindWindowExW(nullptr, tray, L"__winex11_standalone_tray", nullptr)) != nullptr;)
        if (IsWindowVisible(tray) && GetWindowRect(tray, &r)) covering.push_back(r);
    return covering;
}

// Every button of the frame and its account label show their skins on the
// screen, as the shot just saved shows them, wherever no other window covers
// them: under Wine a control that never painted stays black, or shows nothing.
bool ControlsShowTheirSkins(HWND frame) {
    RECT outer{};
    GetWindowRect(frame, &outer);
    const std::vector<RECT> covering = CoveringWindows(frame);
    const auto seen = [&](int x, int y) {
        const POINT at{outer.left + x, outer.top + y};
        return std::none_of(covering.begin(), covering.end(), [&](const RECT& r) { return PtInRect(&r, at); });
    };
    wintest::Surface shown(outer.right - outer.left, outer.bottom - outer.top);
    {
        fw::ScopedGetDc screen(nullptr);
        BitBlt(shown.Dc(), 0, 0, shown.Width(), outer.bottom - outer.top, screen.Get(), outer.left, outer.top, SRCCOPY);
    }
    const std::vector<std::uint32_t> pixels = shown.All();
    bool all = true;
    for (const wintest::ControlSkin& c : wintest::kFrameControlSkins) {
        RECT control{};
        GetWindowRect(GetDlgItem(frame, c.id), &control);
        fw::ScopedBitmap strip(Png(c.image));
        const int misses = wintest::SkinFrameMisses(pixels, shown.Width(), control.left - outer.left + c.x,
                                                    control.top - outer.top + c.y, strip.Get(), c.frames, 0, seen);
        if (misses != 0) {
            std::printf("tour: control %d misses %d pixels of its skin\n", c.id, misses);
            all = false;
        }
    }
    return all;
}

// Returns once the client's thread is taking messages again: a key pressed
// while it is busy (Wine maps and unmaps windows slowly without a window
// manager) would find its keyboard hook timed out and skipped.
void WaitUntilIdle(HWND frame) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer);
}

void PressKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: demo_tour SCREENS_FOLDER\n");
        return 2;
    }
    g_screens = argv[1];
    CreateDirectoryW(g_screens.c_str(), nullptr);
    const HWND frame = WaitForFrame(120000);
    Step(frame != nullptr, "the client shows its login face");
    if (frame == nullptr) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(frame, &pid);

    Step(SendLoginText(frame, LoginTextFor(L"1服-风起云涌", L"demo1")) == 1, "first account logs in");
    // Its page shows once its navigation completes, which Wine's browser
    // never reports: the tab is there, the page waits hidden.
    Step(PumpUntil(5000, [&] { return GamePages(frame).size() == 1; }), "a tab and a game page for it");
    Step(Shoot(frame, L"frame-1.png"), "frame-1.png");
    Step(ControlsShowTheirSkins(frame), "frame-1.png: every button shows its skin");

    Step(SendLoginText(frame, LoginTextFor(L"2服-沧海一声", L"demo2")) == 1, "second account logs in");
    Step(SendLoginText(frame, LoginTextFor(L"3服-长河落日", L"demo3")) == 1, "third account logs in");
    Step(PumpUntil(5000, [&] { return GamePages(frame).size() == 3; }), "three tabs");
    PressTab(frame, 1);
    const HWND account = GetDlgItem(frame, tabs::id::kAccountLabel);
    Step(PumpUntil(3000,
                   [&] {
                       return VisiblePage(frame) != nullptr &&
                              WindowText(account).find(L"沧海一声") != std::wstring::npos;
                   }),
         "switch to the second tab: its page and account show");
    Step(Shoot(frame, L"frame-3.png"), "frame-3.png");
    Step(ControlsShowTheirSkins(frame), "frame-3.png: every button shows its skin");

    ClickButton(frame, tabs::id::kToolMenu);
    const bool menuShown = PumpUntil(5000, [&] { return ShownMenu(pid) != nullptr; });
    Step(menuShown, "the tool menu opens");
    if (menuShown) {
        Step(Shoot(frame, L"menu.png"), "menu.png");
        PostMessageW(ShownMenu(pid), WM_KEYDOWN, VK_ESCAPE, 0);
        PumpUntil(3000, [&] { return ShownMenu(pid) == nullptr; });
    }

    // The boss key (F10 unless the settings say otherwise) through the
    // client's keyboard hook, as from any program that has the focus.
    WaitUntilIdle(frame);
    PressKey(VK_F10);
    Step(PumpUntil(3000, [&] { return !IsWindowVisible(frame) && VisiblePage(frame) == nullptr; }),
         "the boss key hides the frame and its pages");
    WaitUntilIdle(frame);
    PressKey(VK_F10);
    // Wine without a window manager takes seconds to map windows again.
    Step(PumpUntil(15000, [&] { return IsWindowVisible(frame) && VisiblePage(frame) != nullptr; }),
         "the boss key brings them back");

    // A first run installed the client: its desktop shortcut carries the
    // name the portal's icon description gave.
    const std::wstring iconName = AppSettings().Read(settings::kIconName);
    if (!iconName.empty()) {
        const std::wstring link = DesktopShortcutPath(iconName);
        Step(GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES, "the desktop shortcut bears the portal's name");
    }

    Step(ChooseLastTrayItem(frame, pid), "leave through the tray menu");
    Step(PumpUntil(10000, [&] { return !IsWindow(frame); }), "the client ends");
    return g_failed ? 1 : 0;
}
