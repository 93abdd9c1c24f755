#pragma once

// Hotkey values: a main key and a modifier mask, their stored text, their
// names and display form, and which keys each settings edit may take.

#include <string>
#include <string_view>

namespace hotkey {

// Modifier bits of a stored hotkey.
inline constexpr int kAlt = 1;
inline constexpr int kCtrl = 2;
inline constexpr int kShift = 4;

// Virtual-key codes the rules name.
inline constexpr int kVkBack = 8;
inline constexpr int kVkTab = 9;
inline constexpr int kVkEnter = 13;
inline constexpr int kVkShift = 16;
inline constexpr int kVkCtrl = 17;
inline constexpr int kVkAlt = 18;
inline constexpr int kVkEsc = 27;
inline constexpr int kVkDelete = 46;
inline constexpr int kVkLWin = 91;
inline constexpr int kVkRWin = 92;
inline constexpr int kVkF10 = 121;
inline constexpr int kVkF12 = 123;

// What an unset hotkey shows, and what a cleared edit holds.
inline constexpr std::wstring_view kNone = L"无";

}  // namespace hotkey

struct Hotkey {
    int mod = 0;
    int vk = 0;
    bool operator==(const Hotkey&) const = default;
    // vk 0 is "no key" and never fires, whatever the modifiers.
    bool Matches(int pressedVk, int pressedMod) const { return vk != 0 && vk == pressedVk && mod == pressedMod; }
};

// The three edits of the settings dialog; the window-switch key takes Tab and
// keeps F12, the other two do the opposite.
enum class HotkeyEdit { Boss, WindowSwitch, Sound };

// A stored value: mod, a comma, vk, each read by its leading digits (none is
// 0). Without a comma the whole text is the mod and vk is 0.
Hotkey ParseHotkey(std::wstring_view stored);
// The stored form, "mod,vk".
std::wstring StoredHotkey(const Hotkey& key);

// The key's display name; empty for a key without one.
std::wstring KeyName(int vk);
// The display form: "无" for vk 0, otherwise the modifier prefixes
// "Ctrl  +  ", "Shift  +  ", "Alt  +  " (in that order) and the key's name.
std::wstring FormatHotkey(int vk, int mod);

// Whether `vk` may be captured as the main key of `edit`.
bool IsValidHotkeyKey(int vk, HotkeyEdit edit);
// Whether `vk` clears the hotkey of `edit` (its text goes back to "无").
bool ClearsHotkey(int vk, HotkeyEdit edit);
