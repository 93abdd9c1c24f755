#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/code_page.h"

// MD5 (RFC 1321). The digests go into the device identity and the update
// check as 32 lower-case hexadecimal digits.
class CMd5 {
public:
    CMd5();
    void Update(const void* data, size_t size);
    // Ends the digest; the object must not be updated afterwards.
    std::array<uint8_t, 16> Final();

private:
    void Transform(const uint8_t block[64]);

    uint32_t m_state[4];
    uint64_t m_bitCount = 0;
    uint8_t m_buffer[64] = {};
    size_t m_buffered = 0;
};

std::wstring Md5Hex(const std::array<uint8_t, 16>& digest);

// The digest of the text's bytes in the given ANSI code page. Callers pass
// ASCII; text the code page cannot hold is digested in its UTF-8 form.
std::wstring Md5Text(std::wstring_view text, const ICodePage& ansi);

// The digest of the file's bytes; nothing when the file cannot be opened.
std::optional<std::wstring> Md5File(const std::filesystem::path& path);
