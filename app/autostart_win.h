#pragma once

#include <string>

// The autostart entry: a REG_SZ value under the machine's Run key (its
// Wow6432Node twin for a 32-bit process on 64-bit Windows). The install step
// and the login page's commands all go through these.

// True when the value exists and its text is not empty.
bool IsAutostartSet(const std::wstring& valueName);

// The Run value's data for a program's path: quoted when it holds a blank,
// since the logon would otherwise try "C:\Program.exe" and the like, which
// any user may be able to create, before the program itself.
std::wstring RunCommandFor(const std::wstring& path);

// Stores RunCommandFor(path), without its NUL.
bool SetAutostart(const std::wstring& valueName, const std::wstring& path);

// True when the value is gone afterwards, also when there was none.
bool ClearAutostart(const std::wstring& valueName);
