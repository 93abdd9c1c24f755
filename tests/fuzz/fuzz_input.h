#pragma once

// Helpers that turn a fuzzer's bytes into the inputs of the parsers.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf8.h"

namespace fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// UTF-8 as the browser would hand it over; bytes that are not UTF-8 are
// widened one by one, so malformed text still reaches the parser.
inline std::wstring Wide(std::string_view bytes) {
    std::wstring text;
    if (Utf8ToWide(bytes, text)) return text;
    text.clear();
    for (unsigned char c : bytes) text += static_cast<wchar_t>(c);
    return text;
}

// The pieces between separators; at most `max` pieces, the last taking the rest.
inline std::vector<std::string_view> Split(std::string_view bytes, char separator, size_t max) {
    std::vector<std::string_view> pieces;
    while (pieces.size() + 1 < max) {
        const size_t at = bytes.find(separator);
        if (at == std::string_view::npos) break;
        pieces.push_back(bytes.substr(0, at));
        bytes.remove_prefix(at + 1);
    }
    pieces.push_back(bytes);
    return pieces;
}

// A broken promise of the code under test: abort, so that the fuzzer keeps
// the input and the corpus replay fails.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz: broken rule: %s\n", what);
    std::abort();
}

}  // namespace fuzz
