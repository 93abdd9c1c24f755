#include "tools/keyboard_hook_win.h"

#include <thread>

#include "fw/handles_win.h"
#include "tools/hotkey_rules.h"
#include "tools/hotkey_store.h"
#include "tools/key_state_win.h"

namespace {

// The hook procedure has no parameter of its own to reach its owner by; the
// process has one hook and one owner. Set before the hook exists and
// cleared after it is gone, so the procedure reads them unchanged.
HWND g_owner = nullptr;
const std::atomic<int>* g_openPages = nullptr;

struct HookThread {
    // An owner that never removed its hook must not end the process with a
    // thread still joinable.
    ~HookThread() {
        if (!thread.joinable()) return;
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        thread.join();
    }
    std::thread thread;
    DWORD threadId = 0;
};
HookThread g_hookThread;

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && g_owner != nullptr && g_openPages != nullptr) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        const bool keyDown = wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN;
        const int mod = keyDown ? ModifierMask(CAsyncKeyState()) : 0;
        const HotkeyAction action =
            HookAction(CurrentHotkeys(), g_openPages->load(), keyDown, static_cast<int>(event->vkCode), mod);
        if (action != HotkeyAction::None) PostMessageW(g_owner, kMsgHotkey, static_cast<WPARAM>(action), 0);
    }
    // Never swallowed: the key reaches whoever has the focus, and auto-repeat
    // repeats the action.
    return CallNextHookEx(nullptr, code, wp, lp);
}

void RunHook(HANDLE ready, bool* installed, DWORD* threadId) {
    // The queue exists before the installer learns the thread id, so that
    // the quit message cannot be posted to a thread without one.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, GetModuleHandleW(nullptr), 0);
    *installed = hook != nullptr;
    *threadId = GetCurrentThreadId();
    SetEvent(ready);
    if (hook == nullptr) return;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
}

}  // namespace

bool InstallKeyboardHook(HWND owner, const std::atomic<int>* openPages) {
    RemoveKeyboardHook();
    fw::ScopedKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready || owner == nullptr || openPages == nullptr) return false;
    g_owner = owner;
    g_openPages = openPages;
    bool installed = false;
    try {
        g_hookThread.thread = std::thread(RunHook, ready.Get(), &installed, &g_hookThread.threadId);
    } catch (...) {
        g_owner = nullptr;
        g_openPages = nullptr;
        return false;
    }
    WaitForSingleObject(ready.Get(), INFINITE);
    if (!installed) {
        g_hookThread.thread.join();
        g_owner = nullptr;
        g_openPages = nullptr;
    }
    return installed;
}

void RemoveKeyboardHook() {
    if (g_hookThread.thread.joinable()) {
        PostThreadMessageW(g_hookThread.threadId, WM_QUIT, 0, 0);
        g_hookThread.thread.join();
    }
    g_hookThread.threadId = 0;
    g_owner = nullptr;
    g_openPages = nullptr;
}

void RunHotkeyAction(WPARAM action, IHotkeyTarget& target) {
    if (target.GamePageCount() <= 0) return;
    switch (static_cast<HotkeyAction>(action)) {
        case HotkeyAction::ToggleHide: target.ToggleHide(); break;
        case HotkeyAction::ToggleMute: target.ToggleMute(); break;
        case HotkeyAction::None: break;
    }
}
