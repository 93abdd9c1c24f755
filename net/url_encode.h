#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Percent-encodes text for a URL query value: the UTF-8 bytes, every one that
// is not an ASCII letter or digit written as "%" and two upper-case hex digits
// (a space is %20, never "+"; the statistics servers decode it that way).
//
// `capacity` counts characters including a terminator, as the callers' fixed
// buffers do. A text whose UTF-8 form exceeds 2,047 bytes, or whose encoding
// does not fit the capacity, gives an empty result: a cut escape or a cut
// character would send a different value.
std::wstring UrlEncode(std::wstring_view text, size_t capacity);
