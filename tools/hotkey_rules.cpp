#include "tools/hotkey_rules.h"

int ModifierMask(const IKeyState& keys) {
    int mod = 0;
    if (keys.IsDown(hotkey::kVkCtrl)) mod += hotkey::kCtrl;
    if (keys.IsDown(hotkey::kVkShift)) mod += hotkey::kShift;
    if (keys.IsDown(hotkey::kVkAlt)) mod += hotkey::kAlt;
    return mod;
}

bool IsExaminedKeyDown(bool systemKey, int vk) {
    return !systemKey || vk == hotkey::kVkF10 || vk == hotkey::kVkAlt;
}

bool IsSwallowedKey(int vk) { return vk == hotkey::kVkEsc || vk == hotkey::kVkEnter; }

KeyCapture CaptureKey(HotkeyEdit edit, int vk, const IKeyState& keys) {
    if (ClearsHotkey(vk, edit)) return {std::wstring(hotkey::kNone), std::nullopt};
    const bool valid = IsValidHotkeyKey(vk, edit);
    std::wstring text;
    if (keys.IsDown(hotkey::kVkCtrl)) text += L"Ctrl  +  ";
    if (keys.IsDown(hotkey::kVkShift)) text += L"Shift  +  ";
    if (keys.IsDown(hotkey::kVkAlt)) text += L"Alt  +  ";
    if (valid) text += KeyName(vk);
    return {text, valid ? std::optional<int>(vk) : std::nullopt};
}

bool HotkeysConflict(const std::array<std::wstring, 3>& texts) {
    return texts[0] == texts[1] || texts[0] == texts[2] || texts[1] == texts[2];
}

std::optional<std::wstring> HotkeyValueToSave(std::wstring_view text, int capturedVk) {
    if (text.empty() || text.back() == L' ') return std::nullopt;
    Hotkey key;
    key.vk = text.find(hotkey::kNone) != std::wstring_view::npos ? 0 : capturedVk;
    if (text.find(L"Ctrl") != std::wstring_view::npos) key.mod += hotkey::kCtrl;
    if (text.find(L"Shift") != std::wstring_view::npos) key.mod += hotkey::kShift;
    if (text.find(L"Alt") != std::wstring_view::npos) key.mod += hotkey::kAlt;
    return StoredHotkey(key);
}

HotkeyAction HookAction(const Hotkeys& keys, int gamePageCount, bool keyDown, int vk, int mod) {
    if (gamePageCount < 1 || !keyDown) return HotkeyAction::None;
    if (keys.boss.Matches(vk, mod)) return HotkeyAction::ToggleHide;
    if (keys.sound.Matches(vk, mod)) return HotkeyAction::ToggleMute;
    return HotkeyAction::None;
}
