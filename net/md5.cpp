#include "net/md5.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "base/utf8.h"

namespace {

uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// The four rounds' steps written out one by one, as the RFC's reference code
// does: a loop choosing the function and message word per step runs at about
// half the speed, and update downloads hash whole installers.
inline void StepF(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t m, uint32_t k, int s) {
    a = b + RotateLeft(a + (d ^ (b & (c ^ d))) + m + k, s);
}
inline void StepG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t m, uint32_t k, int s) {
    a = b + RotateLeft(a + (c ^ (d & (b ^ c))) + m + k, s);
}
inline void StepH(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t m, uint32_t k, int s) {
    a = b + RotateLeft(a + (b ^ c ^ d) + m + k, s);
}
inline void StepI(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t m, uint32_t k, int s) {
    a = b + RotateLeft(a + (c ^ (b | ~d)) + m + k, s);
}

}  // namespace

CMd5::CMd5() : m_state{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void CMd5::Transform(const uint8_t block[64]) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = static_cast<uint32_t>(block[i * 4]) | static_cast<uint32_t>(block[i * 4 + 1]) << 8 |
               static_cast<uint32_t>(block[i * 4 + 2]) << 16 | static_cast<uint32_t>(block[i * 4 + 3]) << 24;
    }
    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];

    StepF(a, b, c, d, m[0], 0xd76aa478, 7);
    StepF(d, a, b, c, m[1], 0xe8c7b756, 12);
    StepF(c, d, a, b, m[2], 0x242070db, 17);
    StepF(b, c, d, a, m[3], 0xc1bdceee, 22);
    StepF(a, b, c, d, m[4], 0xf57c0faf, 7);
    StepF(d, a, b, c, m[5], 0x4787c62a, 12);
    StepF(c, d, a, b, m[6], 0xa8304613, 17);
    StepF(b, c, d, a, m[7], 0xfd469501, 22);
    StepF(a, b, c, d, m[8], 0x698098d8, 7);
    StepF(d, a, b, c, m[9], 0x8b44f7af, 12);
    StepF(c, d, a, b, m[10], 0xffff5bb1, 17);
    StepF(b, c, d, a, m[11], 0x895cd7be, 22);
    StepF(a, b, c, d, m[12], 0x6b901122, 7);
    StepF(d, a, b, c, m[13], 0xfd987193, 12);
    StepF(c, d, a, b, m[14], 0xa679438e, 17);
    StepF(b, c, d, a, m[15], 0x49b40821, 22);

    StepG(a, b, c, d, m[1], 0xf61e2562, 5);
    StepG(d, a, b, c, m[6], 0xc040b340, 9);
    StepG(c, d, a, b, m[11], 0x265e5a51, 14);
    StepG(b, c, d, a, m[0], 0xe9b6c7aa, 20);
    StepG(a, b, c, d, m[5], 0xd62f105d, 5);
    StepG(d, a, b, c, m[10], 0x02441453, 9);
    StepG(c, d, a, b, m[15], 0xd8a1e681, 14);
    StepG(b, c, d, a, m[4], 0xe7d3fbc8, 20);
    StepG(a, b, c, d, m[9], 0x21e1cde6, 5);
    StepG(d, a, b, c, m[14], 0xc33707d6, 9);
    StepG(c, d, a, b, m[3], 0xf4d50d87, 14);
    StepG(b, c, d, a, m[8], 0x455a14ed, 20);
    StepG(a, b, c, d, m[13], 0xa9e3e905, 5);
    StepG(d, a, b, c, m[2], 0xfcefa3f8, 9);
    StepG(c, d, a, b, m[7], 0x676f02d9, 14);
    StepG(b, c, d, a, m[12], 0x8d2a4c8a, 20);

    StepH(a, b, c, d, m[5], 0xfffa3942, 4);
    StepH(d, a, b, c, m[8], 0x8771f681, 11);
    StepH(c, d, a, b, m[11], 0x6d9d6122, 16);
    StepH(b, c, d, a, m[14], 0xfde5380c, 23);
    StepH(a, b, c, d, m[1], 0xa4beea44, 4);
    StepH(d, a, b, c, m[4], 0x4bdecfa9, 11);
    StepH(c, d, a, b, m[7], 0xf6bb4b60, 16);
    StepH(b, c, d, a, m[10], 0xbebfbc70, 23);
    StepH(a, b, c, d, m[13], 0x289b7ec6, 4);
    StepH(d, a, b, c, m[0], 0xeaa127fa, 11);
    StepH(c, d, a, b, m[3], 0xd4ef3085, 16);
    StepH(b, c, d, a, m[6], 0x04881d05, 23);
    StepH(a, b, c, d, m[9], 0xd9d4d039, 4);
    StepH(d, a, b, c, m[12], 0xe6db99e5, 11);
    StepH(c, d, a, b, m[15], 0x1fa27cf8, 16);
    StepH(b, c, d, a, m[2], 0xc4ac5665, 23);

    StepI(a, b, c, d, m[0], 0xf4292244, 6);
    StepI(d, a, b, c, m[7], 0x432aff97, 10);
    StepI(c, d, a, b, m[14], 0xab9423a7, 15);
    StepI(b, c, d, a, m[5], 0xfc93a039, 21);
    StepI(a, b, c, d, m[12], 0x655b59c3, 6);
    StepI(d, a, b, c, m[3], 0x8f0ccc92, 10);
    StepI(c, d, a, b, m[10], 0xffeff47d, 15);
    StepI(b, c, d, a, m[1], 0x85845dd1, 21);
    StepI(a, b, c, d, m[8], 0x6fa87e4f, 6);
    StepI(d, a, b, c, m[15], 0xfe2ce6e0, 10);
    StepI(c, d, a, b, m[6], 0xa3014314, 15);
    StepI(b, c, d, a, m[13], 0x4e0811a1, 21);
    StepI(a, b, c, d, m[4], 0xf7537e82, 6);
    StepI(d, a, b, c, m[11], 0xbd3af235, 10);
    StepI(c, d, a, b, m[2], 0x2ad7d2bb, 15);
    StepI(b, c, d, a, m[9], 0xeb86d391, 21);

    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void CMd5::Update(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_bitCount += static_cast<uint64_t>(size) * 8;
    while (size > 0) {
        // Whole blocks are hashed where they lie, without the copy.
        if (m_buffered == 0 && size >= sizeof m_buffer) {
            Transform(bytes);
            bytes += sizeof m_buffer;
            size -= sizeof m_buffer;
            continue;
        }
        const size_t take = std::min(size, sizeof m_buffer - m_buffered);
        std::memcpy(m_buffer + m_buffered, bytes, take);
        m_buffered += take;
        bytes += take;
        size -= take;
        if (m_buffered == sizeof m_buffer) {
            Transform(m_buffer);
            m_buffered = 0;
        }
    }
}

std::array<uint8_t, 16> CMd5::Final() {
    const uint64_t bits = m_bitCount;
    const uint8_t pad = 0x80;
    Update(&pad, 1);
    const uint8_t zero = 0;
    while (m_buffered != 56) Update(&zero, 1);
    uint8_t length[8];
    for (int i = 0; i < 8; ++i) length[i] = static_cast<uint8_t>(bits >> (8 * i));
    Update(length, sizeof length);
    std::array<uint8_t, 16> digest;
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<uint8_t>(m_state[i / 4] >> (8 * (i % 4)));
    return digest;
}

std::wstring Md5Hex(const std::array<uint8_t, 16>& digest) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(32);
    for (uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::wstring Md5Text(std::wstring_view text, const ICodePage& ansi) {
    std::string bytes;
    if (!ansi.FromWide(text, bytes)) bytes = WideToUtf8(text);
    CMd5 md5;
    md5.Update(bytes.data(), bytes.size());
    return Md5Hex(md5.Final());
}

std::optional<std::wstring> Md5File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    CMd5 md5;
    // Large reads: with 1 KiB ones the stream's per-call cost outweighed the hashing.
    std::vector<char> chunk(256 * 1024);
    while (true) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const std::streamsize got = in.gcount();
        if (got <= 0) break;
        md5.Update(chunk.data(), static_cast<size_t>(got));
    }
    return Md5Hex(md5.Final());
}
