#include "tools/keyboard_hook_win.h"

#include <windows.h>

#include "tools/hotkey_rules.h"
#include "tools/hotkey_store.h"
#include "tools/key_state_win.h"

namespace {

// The hook procedure has no parameter of its own to reach its owner by; the
// process has one hook and one owner.
HHOOK g_hook = nullptr;
IHotkeyTarget* g_target = nullptr;

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && g_target != nullptr) {
        try {
            const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
            const bool keyDown = wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN;
            const int mod = keyDown ? ModifierMask(CAsyncKeyState()) : 0;
            switch (HookAction(CurrentHotkeys(), g_target->GamePageCount(), keyDown, static_cast<int>(event->vkCode),
                               mod)) {
                case HotkeyAction::ToggleHide: g_target->ToggleHide(); break;
                case HotkeyAction::ToggleMute: g_target->ToggleMute(); break;
                case HotkeyAction::None: break;
            }
        } catch (...) {
            // The key still goes on to the other hooks and its window.
        }
    }
    // Never swallowed: the key reaches whoever has the focus, and auto-repeat
    // repeats the action.
    return CallNextHookEx(g_hook, code, wp, lp);
}

}  // namespace

bool InstallKeyboardHook(IHotkeyTarget* target) {
    RemoveKeyboardHook();
    g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, GetModuleHandleW(nullptr), 0);
    if (g_hook == nullptr) return false;
    g_target = target;
    return true;
}

void RemoveKeyboardHook() {
    if (g_hook != nullptr) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_target = nullptr;
}
