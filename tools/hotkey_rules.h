#pragma once

// The rules of capturing, saving and firing hotkeys, apart from the windows
// and the system's key state they run on.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "tools/hotkey.h"

// Which modifier keys are down. The settings dialog reads its own thread's
// state (the messages it is processing); the keyboard hook reads the
// asynchronous state, since its thread's state is stale while another
// program has the focus.
class IKeyState {
public:
    virtual ~IKeyState() = default;
    virtual bool IsDown(int vk) const = 0;
};

// 2 for Ctrl, 4 for Shift, 1 for Alt, summed.
int ModifierMask(const IKeyState& keys);

// Whether the settings dialog looks at a key-down at all: every WM_KEYDOWN,
// but of the system keys only F10 and Alt, which arrive as WM_SYSKEYDOWN.
bool IsExaminedKeyDown(bool systemKey, int vk);
// Esc and Enter are swallowed: they neither close the dialog nor become keys.
bool IsSwallowedKey(int vk);

struct KeyCapture {
    std::wstring text;           // what the edit shows now
    std::optional<int> captured; // the main key to remember for the edit
};

// What a key pressed in `edit` makes of it. A clearing key shows "无"; a
// key that is not valid shows only the modifier prefixes ("Ctrl  +  ").
KeyCapture CaptureKey(HotkeyEdit edit, int vk, const IKeyState& keys);

// Two edits with the same text conflict, two cleared ones ("无") included.
bool HotkeysConflict(const std::array<std::wstring, 3>& texts);

// The value to store for an edit's text and the key captured for it, or
// nothing when the text has no main key (empty, or ending in a blank after a
// modifier only) and the stored value must stay.
std::optional<std::wstring> HotkeyValueToSave(std::wstring_view text, int capturedVk);

// The three process-wide hotkeys.
struct Hotkeys {
    Hotkey boss{0, 121};
    Hotkey windowSwitch{2, 9};
    Hotkey sound{2, 81};
};

enum class HotkeyAction { None, ToggleHide, ToggleMute };

// What the system-wide hook does with one key event: only key-downs act, and
// only while a game page is open; the boss key wins over the sound key.
HotkeyAction HookAction(const Hotkeys& keys, int gamePageCount, bool keyDown, int vk, int mod);
