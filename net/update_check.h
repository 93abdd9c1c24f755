#pragma once

#include <functional>
#include <optional>
#include <string>

// The update check: the running program is up to date when its version tag
// (its file's MD5 digest and its version number) equals the expected tag.

// A file's MD5 digest as 32 lower-case hexadecimal digits, or nothing when
// the file cannot be read.
using FileDigest = std::function<std::optional<std::wstring>(const std::wstring& path)>;

// The digest cut to 32 - n digits followed by the version without its dots,
// n being the length of that dotless text: "3.0.0.1" keeps 28 digits and
// appends "3001".
std::wstring VersionTag(const std::wstring& digestHex, const std::wstring& clientVersion);

// 0 when no update is needed: the expected tag is empty, or it equals the
// program's version tag without regard to case. A program file that cannot
// be read cannot be shown to be current, so it asks for the update.
int CheckUpdateTag(const std::wstring& expectedTag, const std::wstring& programPath,
                   const std::wstring& clientVersion, const FileDigest& digest);
