#pragma once

// The system-wide keyboard hook behind the boss key and the sound key. It
// runs on the thread that installs it (through that thread's message loop)
// and acts on the target it was given: the main frame in the program, a
// stand-in in tests.

// What the hook needs of the window that owns it.
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

// Installs the low-level keyboard hook for `target` (replacing an earlier
// one). False when the system refuses it.
bool InstallKeyboardHook(IHotkeyTarget* target);
// Removes it; harmless when none is installed.
void RemoveKeyboardHook();
