#pragma once

#include <string>
#include <string_view>

// UTF-8 <-> wide text, right for both 2-byte (Windows) and 4-byte (Linux)
// wchar_t, so the same code runs in the program and in the native tests.

// Strict: refuses overlong forms, surrogates encoded in UTF-8, code points
// above U+10FFFF and cut sequences. Returns false and leaves `out` empty then.
bool Utf8ToWide(std::string_view in, std::wstring& out);

// Unpaired surrogates in 16-bit input become U+FFFD; never fails.
std::string WideToUtf8(std::wstring_view in);
