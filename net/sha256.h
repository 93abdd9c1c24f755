#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256 (FIPS 180-4): the digest an update description gives for its file.
class CSha256 {
public:
    CSha256();
    void Update(const void* data, size_t size);
    // Ends the digest; the object must not be updated afterwards.
    std::array<uint8_t, 32> Final();

private:
    void Transform(const uint8_t block[64]);

    uint32_t m_state[8];
    uint64_t m_bitCount = 0;
    uint8_t m_buffer[64] = {};
    size_t m_buffered = 0;
};

// 64 lower-case hexadecimal digits.
std::string Sha256Hex(const std::array<uint8_t, 32>& digest);
std::string Sha256Hex(const void* data, size_t size);
