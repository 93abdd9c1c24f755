#include "app/ecdsa_der.h"

#include <algorithm>

namespace {

// Reads one short-form INTEGER at `at` into `out` (right-aligned, `half`
// bytes), moving `at` past it.
bool ReadInteger(const std::vector<unsigned char>& der, size_t& at, size_t end, size_t half, unsigned char* out) {
    if (end - at < 2 || der[at] != 0x02) return false;
    size_t length = der[at + 1];
    at += 2;
    // Short form only: no P-256 value needs more than 33 bytes.
    if (length == 0 || length >= 0x80 || length > end - at) return false;
    const unsigned char* value = der.data() + at;
    at += length;
    if (value[0] & 0x80) return false;  // negative
    if (value[0] == 0) {
        // A leading zero is only there to keep the next byte's top bit from
        // reading as a sign.
        if (length == 1 || !(value[1] & 0x80)) return false;
        ++value;
        --length;
    }
    if (length > half) return false;
    std::fill(out, out + half, 0);
    std::copy(value, value + length, out + (half - length));
    return true;
}

}  // namespace

bool EcdsaDerToRaw(const std::vector<unsigned char>& der, size_t half, std::vector<unsigned char>& raw) {
    raw.clear();
    if (half == 0 || der.size() < 2 || der[0] != 0x30) return false;
    const size_t length = der[1];
    if (length >= 0x80 || length != der.size() - 2) return false;
    std::vector<unsigned char> out(2 * half);
    size_t at = 2;
    if (!ReadInteger(der, at, der.size(), half, out.data())) return false;
    if (!ReadInteger(der, at, der.size(), half, out.data() + half)) return false;
    if (at != der.size()) return false;
    // Zero for r or s is no signature at all.
    const auto zero = [&](size_t from) { return std::all_of(out.begin() + from, out.begin() + from + half, [](unsigned char b) { return b == 0; }); };
    if (zero(0) || zero(half)) return false;
    raw = std::move(out);
    return true;
}
