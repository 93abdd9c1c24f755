#include "login/user_account_control_win.h"

#include <windows.h>

#include "fw/handles_win.h"

namespace {

// The real version: GetVersionEx answers what the manifest declares.
DWORD MajorVersion() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion = ntdll != nullptr
                             ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                             : nullptr;
    if (rtlGetVersion == nullptr || rtlGetVersion(&info) != 0) return 0;
    return info.dwMajorVersion;
}

}  // namespace

bool IsUserAccountControlOn() {
    if (MajorVersion() <= 5) return false;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\", 0,
                      KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    const fw::ScopedRegKey key(opened);
    DWORD value = 0, size = sizeof value, type = 0;
    const LONG read = RegQueryValueExW(key.Get(), L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    return read == ERROR_SUCCESS && type == REG_DWORD && value == 1;
}
