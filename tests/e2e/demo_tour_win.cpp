// The demo's tour: with the client showing its login face, logs three
// accounts in as the login page would (Wine renders no page to click),
// switches tabs, opens the tool menu, hides and restores the frame with the
// boss key and leaves through the tray menu, saving a screenshot of each
// step in the folder it is given. Prints what it did; exits 1 when a step failed.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ctrl_layout.h"
#include "app/pe_image.h"
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

// The update dialog: a popup of any process holding the progress bar (1000).
bool IsUpdateDialog(HWND window) {
    const HWND bar = GetDlgItem(window, 1000);
    return IsWindowVisible(window) && bar != nullptr && ClassOf(bar) == L"msctls_progress32";
}

// The texts of a shown popup menu's items. Under Wine a menu handle reads
// only in its own process, so an empty list means "could not read".
std::vector<std::wstring> MenuTexts(HWND menuWindow) {
    std::vector<std::wstring> texts;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
    const int count = menu != nullptr ? GetMenuItemCount(menu) : -1;
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        texts.emplace_back(text);
    }
    return texts;
}

// The ClientVersion slot of the program a process runs, read from its file.
std::string ProgramVersionOf(DWORD pid) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return {};
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = QueryFullProcessImageNameW(process, 0, path, &size) != FALSE;
    CloseHandle(process);
    if (!named) return {};
    const std::string text = ReadWholeFile(path);
    const std::vector<uint8_t> file(text.begin(), text.end());
    const pe::CtrlLocation location = pe::FindCtrlBlock(file);
    if (location.error != pe::Error::None) return {};
    return std::string(ctrl::SlotText(
        std::span<const uint8_t, ctrl::kBlockSize>(file.data() + location.fileOffset, ctrl::kBlockSize),
        ctrl::Slot::ClientVersion));
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

    // The day's update check finds the portal's newer build and asks once;
    // the tour declines and takes the update from the tool menu at its end.
    HWND question = nullptr;
    if (PumpUntil(8000, [&] { return (question = FindWindowOfProcess(pid, IsMessageBox)) != nullptr; })) {
        Step(WindowText(GetDlgItem(question, 0xFFFF)).find(L"发现新版本") == 0, "the day's check asks about 3.0.0.2");
        const HWND no = GetDlgItem(question, 5001);
        PostMessageW(question, WM_COMMAND, MAKEWPARAM(5001, BN_CLICKED), reinterpret_cast<LPARAM>(no));
        PumpUntil(3000, [&] { return !IsWindow(question); });
    }

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

    // The portal offers a newer build signed with the demo key: the tool
    // menu's "更新" (third from the bottom) restarts the client into the
    // update dialog, and the new version opens in its place.
    ClickButton(frame, tabs::id::kToolMenu);
    HWND menu = nullptr;
    if (PumpUntil(5000, [&] { return (menu = ShownMenu(pid)) != nullptr; })) {
        for (int i = 0; i < 3; ++i) PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    }
    HWND progress = nullptr;
    Step(PumpUntil(30000, [&] { return (progress = FindWindowWhere(IsUpdateDialog)) != nullptr; }),
         "更新 opens the update dialog");
    if (progress != nullptr) Step(Shoot(progress, L"update.png"), "update.png");
    HWND updated = nullptr;
    Step(PumpUntil(60000,
                   [&] {
                       updated = FindWindowWhere(
                           [&](HWND window) { return window != frame && IsWindowVisible(window) && IsMainFrame(window); });
                       return updated != nullptr;
                   }),
         "the new version opens");
    if (updated == nullptr) return 1;
    GetWindowThreadProcessId(updated, &pid);
    Step(ProgramVersionOf(pid) == "3.0.0.2", "the running program is 3.0.0.2");
    // With an account in, the frame shows, and its tool menu below it.
    Step(SendLoginText(updated, LoginTextFor(L"1服-风起云涌", L"demo1")) == 1, "an account logs in to the new version");
    Step(PumpUntil(5000, [&] { return GamePages(updated).size() == 1; }), "its tab");
    WaitUntilIdle(updated);
    ClickButton(updated, tabs::id::kToolMenu);
    const bool newMenu = PumpUntil(5000, [&] { return (menu = ShownMenu(pid)) != nullptr; });
    Step(newMenu, "the new version's tool menu opens");
    if (newMenu) {
        Step(Shoot(updated, L"menu-updated.png"), "menu-updated.png (版本号: 3.0.0.2)");
        // Wine reads a menu's items only in its own process; where they can
        // be read, the version line is checked too.
        const std::vector<std::wstring> texts = MenuTexts(menu);
        if (!texts.empty())
            Step(std::find(texts.begin(), texts.end(), L"版本号: 3.0.0.2") != texts.end(),
                 "its tool menu shows 版本号: 3.0.0.2");
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        PumpUntil(3000, [&] { return ShownMenu(pid) == nullptr; });
    }

    Step(ChooseLastTrayItem(updated, pid), "leave through the tray menu");
    Step(PumpUntil(10000, [&] { return !IsWindow(updated); }), "the client ends");
    return g_failed ? 1 : 0;
}
