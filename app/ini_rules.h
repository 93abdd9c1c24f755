#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Path rules of the profile-file accessor: an empty path becomes the program's
// own path with ".ini" as its extension; a path without a drive letter is put
// below the program's folder (`againstModule`) or the current directory; a
// path with a drive is used as it is.
std::wstring ResolveIniPath(std::wstring_view path, std::wstring_view exePath, std::wstring_view currentDir,
                            bool againstModule);

// Each byte b as two letters, 'A' + (b & 0x0F) then 'A' + (b >> 4): 0x3C 0xA1
// gives "MDBK". Letters alone stand safely in any profile file.
std::wstring LetterEncode(std::span<const uint8_t> bytes);
