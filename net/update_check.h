#pragma once

#include <string>

// The update check: the running program is up to date when its version tag
// (its file's MD5 digest and its version number) equals the expected tag.

// The digest cut to 32 - n digits followed by the version without its dots,
// n being the length of that dotless text: "3.0.0.1" keeps 28 digits and
// appends "3001".
std::wstring VersionTag(const std::wstring& digestHex, const std::wstring& clientVersion);

// 0 when no update is needed: the expected tag is empty, or it equals the
// version tag of the program file (its MD5 digest and `clientVersion`)
// without regard to case. A program file that cannot be read cannot be shown
// to be current, so it asks for the update.
int CheckUpdateTag(const std::wstring& expectedTag, const std::wstring& programPath,
                   const std::wstring& clientVersion);
