#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Builds minimal PE32+ files with chosen sections, for the PE reader's tests.
struct TestSection {
    std::string name;
    uint32_t virtualSize;
    uint32_t rawSize;
};

inline void PutU16(std::vector<uint8_t>& f, size_t at, uint16_t v) {
    f[at] = static_cast<uint8_t>(v);
    f[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void PutU32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) f[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

constexpr size_t kTestPeAt = 0x80;
constexpr size_t kTestOptionalSize = 0xF0;
constexpr size_t kTestSectionsAt = kTestPeAt + 24 + kTestOptionalSize;
constexpr size_t kTestFirstRaw = 0x400;

inline std::vector<uint8_t> BuildTestPe(const std::vector<TestSection>& sections) {
    size_t size = kTestFirstRaw;
    for (const auto& s : sections) size += s.rawSize;
    std::vector<uint8_t> f(size, 0);
    f[0] = 'M';
    f[1] = 'Z';
    PutU32(f, 0x3C, kTestPeAt);
    std::memcpy(&f[kTestPeAt], "PE\0\0", 4);
    PutU16(f, kTestPeAt + 4, 0x8664);
    PutU16(f, kTestPeAt + 6, static_cast<uint16_t>(sections.size()));
    PutU16(f, kTestPeAt + 20, kTestOptionalSize);
    PutU16(f, kTestPeAt + 24, 0x20B);
    size_t raw = kTestFirstRaw;
    for (size_t i = 0; i < sections.size(); ++i) {
        const size_t at = kTestSectionsAt + 40 * i;
        std::memcpy(&f[at], sections[i].name.data(), std::min<size_t>(8, sections[i].name.size()));
        PutU32(f, at + 8, sections[i].virtualSize);
        PutU32(f, at + 16, sections[i].rawSize);
        PutU32(f, at + 20, static_cast<uint32_t>(raw));
        raw += sections[i].rawSize;
    }
    return f;
}
