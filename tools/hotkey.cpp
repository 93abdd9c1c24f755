#include "tools/hotkey.h"

#include "app/settings_store.h"

Hotkey ParseHotkey(std::wstring_view stored) {
    Hotkey key;
    if (stored.empty()) return key;
    const size_t comma = stored.find(L',');
    if (comma == std::wstring_view::npos) {
        key.mod = static_cast<int>(ParseLeadingInt(stored));
        return key;
    }
    key.mod = static_cast<int>(ParseLeadingInt(stored.substr(0, comma)));
    key.vk = static_cast<int>(ParseLeadingInt(stored.substr(comma + 1)));
    return key;
}

std::wstring StoredHotkey(const Hotkey& key) { return FormatInt(key.mod) + L"," + FormatInt(key.vk); }

std::wstring KeyName(int vk) {
    if (vk >= '0' && vk <= '9') return std::wstring(1, static_cast<wchar_t>(vk));
    if (vk >= 'A' && vk <= 'Z') return std::wstring(1, static_cast<wchar_t>(vk));
    if (vk >= 96 && vk <= 105) return L"Num " + std::wstring(1, static_cast<wchar_t>(L'0' + vk - 96));
    if (vk >= 112 && vk <= 123) return L"F" + std::to_wstring(vk - 111);
    switch (vk) {
        case 8: return L"Back";
        case 9: return L"Tab";
        case 13: return L"Enter";
        case 16: return L"Shift";
        case 17: return L"Ctrl";
        case 18: return L"Alt";
        case 19: return L"Pause Break";
        case 20: return L"Caps";
        case 27: return L"Esc";
        case 33: return L"Page Up";
        case 34: return L"Page Down";
        case 35: return L"End";
        case 36: return L"Home";
        case 37: return L"Left";
        case 38: return L"Up";
        case 39: return L"Right";
        case 40: return L"Down";
        case 45: return L"Insert";
        case 46: return L"Del";
        case 91: return L"LWin";
        case 92: return L"RWin";
        case 106: return L"Num *";
        case 107: return L"Num +";
        case 109: return L"Num -";
        case 110: return L"Num Del";
        case 111: return L"Num /";
        case 144: return L"Num Lock";
        case 145: return L"Scroll Lock";
        case 186: return L";";
        case 187: return L"+";
        case 188: return L",";
        case 189: return L"-";
        case 190: return L".";
        case 191: return L"/";
        case 192: return L"`";
        case 219: return L"[";
        case 220: return L"\\";
        case 221: return L"]";
        case 222: return L"'";
        default: return {};
    }
}

std::wstring FormatHotkey(int vk, int mod) {
    if (vk == 0) return std::wstring(hotkey::kNone);
    std::wstring text;
    if (mod & hotkey::kCtrl) text += L"Ctrl  +  ";
    if (mod & hotkey::kShift) text += L"Shift  +  ";
    if (mod & hotkey::kAlt) text += L"Alt  +  ";
    return text + KeyName(vk);
}

bool IsValidHotkeyKey(int vk, HotkeyEdit edit) {
    if (vk == hotkey::kVkTab) return edit == HotkeyEdit::WindowSwitch;
    return (vk >= 112 && vk <= 122)       // F1 to F11
           || (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')
           || (vk >= 33 && vk <= 40)      // Page Up, Page Down, End, Home, arrows
           || vk == 45 || vk == 20        // Insert, Caps Lock
           || (vk >= 96 && vk <= 107) || (vk >= 109 && vk <= 111)  // numeric pad
           || vk == 144                   // Num Lock
           || (vk >= 186 && vk <= 192) || (vk >= 219 && vk <= 222);
}

bool ClearsHotkey(int vk, HotkeyEdit edit) {
    switch (vk) {
        case hotkey::kVkBack:
        case hotkey::kVkDelete:
        case hotkey::kVkLWin:
        case hotkey::kVkRWin: return true;
        case hotkey::kVkF12: return edit != HotkeyEdit::WindowSwitch;
        default: return false;
    }
}
