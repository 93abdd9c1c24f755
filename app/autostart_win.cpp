#include "app/autostart_win.h"

#include <windows.h>

#include "app/wow64_win.h"
#include "fw/handles_win.h"

namespace {

const wchar_t* RunKeyPath() {
    return IsRunningUnderWow64() ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"
                                 : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
}

fw::ScopedRegKey OpenRunKey(REGSAM access, LSTATUS* status = nullptr) {
    HKEY key = nullptr;
    const LSTATUS result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, RunKeyPath(), 0, access, &key);
    if (status != nullptr) *status = result;
    return fw::ScopedRegKey(result == ERROR_SUCCESS ? key : nullptr);
}

}  // namespace

std::wstring RunCommandFor(const std::wstring& path) {
    const bool quoted = path.size() >= 2 && path.front() == L'"' && path.back() == L'"';
    if (quoted || path.find_first_of(L" \t") == std::wstring::npos) return path;
    return L"\"" + path + L"\"";
}

bool IsAutostartSet(const std::wstring& valueName) {
    fw::ScopedRegKey key = OpenRunKey(KEY_QUERY_VALUE);
    if (!key) return false;
    wchar_t text[260] = {};
    DWORD bytes = sizeof(text);
    const LSTATUS status = RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(text), &bytes);
    // A value longer than the buffer is a set value, though its text was not
    // delivered; the buffer then holds nothing to look at.
    if (status == ERROR_MORE_DATA) return true;
    return status == ERROR_SUCCESS && bytes >= sizeof(wchar_t) && text[0] != L'\0';
}

bool SetAutostart(const std::wstring& valueName, const std::wstring& command) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, RunKeyPath(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    fw::ScopedRegKey key(raw);
    const std::wstring data = RunCommandFor(command);
    const DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          bytes) == ERROR_SUCCESS;
}

bool ClearAutostart(const std::wstring& valueName) {
    LSTATUS opened = ERROR_SUCCESS;
    fw::ScopedRegKey key = OpenRunKey(KEY_SET_VALUE, &opened);
    if (!key) return opened == ERROR_FILE_NOT_FOUND;
    const LSTATUS status = RegDeleteValueW(key.Get(), valueName.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
