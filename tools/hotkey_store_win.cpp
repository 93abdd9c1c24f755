#include "tools/hotkey_store_win.h"

#include <windows.h>

#include <vector>

#include "app/ctrl_block.h"
#include "tools/hotkey_store.h"
#include "tools/key_state_win.h"

namespace {

CWinProfileStore& HotkeyStore() {
    static CWinProfileStore store(ProgramFolderSettingsPath());
    return store;
}

}  // namespace

CSettings HotkeySettings() { return CSettings(HotkeyStore(), TheCtrlBlock().ShortName()); }

Hotkey ReadHotkey(const SettingKey& key) { return ReadHotkey(HotkeySettings(), key); }

void LoadHotkeys() { LoadHotkeys(HotkeySettings()); }

bool IsWindowSwitchKey(UINT message, WPARAM vk) {
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) return false;
    return CurrentHotkeys().windowSwitch.Matches(static_cast<int>(vk), ModifierMask(CThreadKeyState()));
}

int BroadcastHotkeyReload() {
    struct Search {
        std::wstring title;
        std::vector<HWND> found;
    } search{TheCtrlBlock().TitleName(), {}};
    constexpr size_t kMaxClients = 10;
    EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (wcscmp(className, L"#32770") != 0) return TRUE;
            const int length = GetWindowTextLengthW(window);
            if (length != static_cast<int>(s.title.size())) return TRUE;
            std::wstring title(static_cast<size_t>(length) + 1, L'\0');
            title.resize(static_cast<size_t>(GetWindowTextW(window, title.data(), length + 1)));
            if (title == s.title) s.found.push_back(window);
            return s.found.size() < kMaxClients;
        },
        reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) PostMessageW(window, kMsgReloadHotkeys, 0, 0);
    return static_cast<int>(search.found.size());
}
