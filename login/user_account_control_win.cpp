#include "login/user_account_control_win.h"

#include <windows.h>

#include "fw/handles_win.h"

unsigned WindowsMajorVersion() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion =
        ntdll != nullptr
            ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
    if (rtlGetVersion == nullptr || rtlGetVersion(&info) != 0) return 0;
    return info.dwMajorVersion;
}

std::optional<uint32_t> ReadEnableLua() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\", 0,
                      KEY_READ, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    const fw::ScopedRegKey key(opened);
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExW(key.Get(), L"EnableLUA", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}
