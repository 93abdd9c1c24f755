#pragma once

#include <string>

// The autostart entry: a REG_SZ value under the machine's Run key (its
// Wow6432Node twin for a 32-bit process on 64-bit Windows). The install step
// and the login page's commands all go through these three.

// True when the value exists and its text is not empty.
bool IsAutostartSet(const std::wstring& valueName);

// Stores the command as it is (no quotes are added), without its NUL.
bool SetAutostart(const std::wstring& valueName, const std::wstring& command);

// True when the value is gone afterwards, also when there was none.
bool ClearAutostart(const std::wstring& valueName);
