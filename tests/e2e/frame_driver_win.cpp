#include "tests/e2e/frame_driver_win.h"

#include "browser/tab_strip.h"
#include "tests/e2e/client_run_win.h"

namespace {

struct PageSearch {
    HWND frame;
    std::vector<HWND> pages;
};

BOOL CALLBACK CollectPage(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<PageSearch*>(param);
    if (GetWindow(window, GW_OWNER) != search->frame) return TRUE;
    if (FindWindowExW(window, nullptr, L"Shell Embedding", nullptr) != nullptr) search->pages.push_back(window);
    return TRUE;
}

bool IsMenuWindow(HWND window) { return IsWindowVisible(window) && ClassOf(window) == L"#32768"; }

}  // namespace

std::vector<HWND> GamePages(HWND frame) {
    PageSearch search{frame, {}};
    EnumWindows(CollectPage, reinterpret_cast<LPARAM>(&search));
    // EnumWindows lists the newest window first.
    return {search.pages.rbegin(), search.pages.rend()};
}

HWND VisiblePage(HWND frame) {
    for (HWND page : GamePages(frame)) {
        if (IsWindowVisible(page)) return page;
    }
    return nullptr;
}

void PressTab(HWND frame, int index) {
    const tabs::Rect tab = tabs::TabRect(index);
    POINT point{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    ClientToScreen(frame, &point);
    PostMessageW(frame, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void ClickButton(HWND frame, int id) {
    // Sent, as the button itself notifies its parent; it returns once the
    // frame has handled the click (a menu the click opens is still up).
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(frame, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(frame, id)),
                        SMTO_ABORTIFHUNG, 500, &answer);
}

HWND ShownMenu(DWORD processId) { return FindWindowOfProcess(processId, IsMenuWindow); }

bool ChooseLastTrayItem(HWND frame, DWORD processId) {
    PostMessageW(frame, WM_USER + 3, 0, 0);
    HWND menu = nullptr;
    if (!PumpUntil(5000, [&] { return (menu = ShownMenu(processId)) != nullptr; })) return false;
    // The menu can show before its tracking loop reads keys: a moment's
    // wait, as a user's, before pressing them.
    PumpUntil(300, [] { return false; });
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}
