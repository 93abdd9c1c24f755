#pragma once

#include <string>
#include <string_view>
#include <vector>

// Base64 of RFC 4648 with the standard alphabet and "=" padding, the form
// `base64 -w0` and `openssl base64 -A` write.

std::string Base64Encode(const unsigned char* data, size_t size);
inline std::string Base64Encode(const std::vector<unsigned char>& data) { return Base64Encode(data.data(), data.size()); }

// Strict: the length is a multiple of four, padding only at the end, no
// whitespace, and the bits the padding leaves unused are zero, so that one
// value has one text. False and `out` empty otherwise.
bool Base64Decode(std::string_view text, std::vector<unsigned char>& out);
