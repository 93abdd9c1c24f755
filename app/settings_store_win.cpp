#include "app/settings_store_win.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "app/ctrl_block.h"
#include "app/ini_win.h"

std::wstring CWinProfileStore::Read(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue,
                                    size_t bufferChars) const {
    if (bufferChars == 0) return {};
    std::vector<wchar_t> buffer(bufferChars, L'\0');
    const DWORD n = GetPrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                             std::wstring(defaultValue).c_str(), buffer.data(),
                                             static_cast<DWORD>(bufferChars), m_path.c_str());
    return std::wstring(buffer.data(), std::min<size_t>(n, bufferChars - 1));
}

bool CWinProfileStore::Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    if (m_path.empty()) return false;
    return WritePrivateProfileStringW(std::wstring(section).c_str(), std::wstring(key).c_str(),
                                      std::wstring(value).c_str(), m_path.c_str()) != FALSE;
}

std::wstring CommonAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return folder;
}

std::wstring SettingsFilePath() {
    const std::wstring folder = CommonAppDataFolder();
    if (folder.empty()) return {};
    std::wstring path = folder + std::wstring(settings::kFolder) + L"\\" + std::wstring(settings::kFileName);
    return path.size() < MAX_PATH ? path : std::wstring{};
}

std::wstring ProgramFolderSettingsPath() {
    const std::wstring module = ModulePath();
    const size_t slash = module.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    return module.substr(0, slash + 1) + std::wstring(settings::kFileName);
}

CWinProfileStore& TheSettingsStore() {
    static CWinProfileStore store(SettingsFilePath());
    return store;
}

CSettings AppSettings() { return CSettings(TheSettingsStore(), TheCtrlBlock().ShortName()); }
