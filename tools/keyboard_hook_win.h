#pragma once

// The system-wide keyboard hook behind the boss key and the sound key. It
// runs on a small thread of its own with its own message loop: Windows
// removes, without a word, a low-level hook whose thread does not answer in
// time, and the window's thread is often held up (page script, a plug-in, a
// box). The hook only decides; what it decides is posted to the owner's
// window and done there, on the owner's thread.

#include <windows.h>

#include <atomic>

// Posted to the owner's window for a boss or sound key press; wParam is the
// HotkeyAction.
inline constexpr UINT kMsgHotkey = WM_APP + 2;

// What the hook's actions do, on the owner's thread.
class IHotkeyTarget {
public:
    virtual ~IHotkeyTarget() = default;
    // The number of open game pages; without one the hotkeys do nothing.
    virtual int GamePageCount() const = 0;
    // The boss-key action: hide everything, or bring it back on the same page.
    virtual void ToggleHide() = 0;
    // Inverts the mute flag; the owner applies it with SetMute on its own time.
    virtual void ToggleMute() = 0;
};

// Installs the hook (replacing an earlier one): a press of the boss or the
// sound key while `openPages` is above 0 is posted to `owner` as kMsgHotkey.
// `openPages` is read on the hook's thread and must outlive the hook. False
// when the system refuses the hook.
bool InstallKeyboardHook(HWND owner, const std::atomic<int>* openPages);
// Removes it and ends its thread; harmless when none is installed.
void RemoveKeyboardHook();
// Does what a posted kMsgHotkey asks, unless the pages closed meanwhile.
void RunHotkeyAction(WPARAM action, IHotkeyTarget& target);
