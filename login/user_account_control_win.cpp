#include "login/user_account_control_win.h"

#include <windows.h>

#include "fw/handles_win.h"

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
