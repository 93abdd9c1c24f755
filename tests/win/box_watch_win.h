#pragma once

// Where a message box opened on this thread stood while it ran: a thread
// timer finds it, notes its place, its owner and the z-order between them,
// and answers it with its first button.

#include <windows.h>

#include <functional>

#include "ui/msgbox_layout.h"

namespace wintest {

struct BoxPlace {
    bool found = false;
    HWND owner = nullptr;
    RECT rect{};
    RECT work{};              // the work area of the box's monitor
    bool aboveOwner = false;  // the owner and its own owners come after the box in the z-order
    bool ownerEnabled = true;
    bool topmost = false;

    bool InsideWork() const {
        return rect.left >= work.left && rect.top >= work.top && rect.right <= work.right &&
               rect.bottom <= work.bottom;
    }
};

namespace detail {

inline thread_local BoxPlace* t_place = nullptr;
inline thread_local int t_ticks = 0;

inline HWND BoxOfThisThread() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lp) -> BOOL {
            if (!IsWindowVisible(window) || GetDlgItem(window, ui::kMsgBoxFirstButtonId) == nullptr) return TRUE;
            *reinterpret_cast<HWND*>(lp) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

inline void CALLBACK LookAtBox(HWND, UINT, UINT_PTR, DWORD) {
    BoxPlace& place = *t_place;
    const HWND box = BoxOfThisThread();
    if (box == nullptr) return;
    // Looked at on three ticks, by when it is placed and shown, and answered
    // on the third.
    place.found = true;
    place.owner = GetWindow(box, GW_OWNER);
    GetWindowRect(box, &place.rect);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &info);
    place.work = info.rcWork;
    int ownersBelow = 0, owners = 0;
    for (HWND owner = place.owner; owner != nullptr && owners < 16; owner = GetWindow(owner, GW_OWNER)) {
        ++owners;
        for (HWND below = GetWindow(box, GW_HWNDNEXT); below != nullptr; below = GetWindow(below, GW_HWNDNEXT))
            if (below == owner) ++ownersBelow;
    }
    place.aboveOwner = owners > 0 && ownersBelow == owners;
    place.ownerEnabled = place.owner == nullptr || IsWindowEnabled(place.owner);
    place.topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (++t_ticks < 3) return;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(ui::kMsgBoxFirstButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, ui::kMsgBoxFirstButtonId)));
}

}  // namespace detail

// Runs `show`, which opens a box on this thread and returns once it is answered.
inline BoxPlace WatchBox(const std::function<void()>& show) {
    BoxPlace place;
    detail::t_place = &place;
    detail::t_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, detail::LookAtBox);
    show();
    KillTimer(nullptr, timer);
    detail::t_place = nullptr;
    return place;
}

}  // namespace wintest
