// The demo's tour: with the client showing its login face, logs three
// accounts in as the login page would (Wine renders no page to click),
// switches tabs, opens the tool menu, hides and restores the frame with the
// boss key and leaves through the tray menu, saving a screenshot of each
// step in the folder it is given. Prints what it did; exits 1 when a step failed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/settings_store_win.h"
#include "browser/tab_strip.h"
#include "tests/e2e/client_run_win.h"
#include "tests/e2e/frame_driver_win.h"
#include "tests/screens/screen_util_win.h"
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
