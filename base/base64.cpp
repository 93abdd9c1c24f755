#include "base/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string Base64Encode(const unsigned char* data, size_t size) {
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (size_t at = 0; at < size; at += 3) {
        const size_t left = size - at;
        const unsigned long group = static_cast<unsigned long>(data[at]) << 16 |
                                    (left > 1 ? static_cast<unsigned long>(data[at + 1]) << 8 : 0) |
                                    (left > 2 ? data[at + 2] : 0);
        text += kAlphabet[group >> 18 & 63];
        text += kAlphabet[group >> 12 & 63];
        text += left > 1 ? kAlphabet[group >> 6 & 63] : '=';
        text += left > 2 ? kAlphabet[group & 63] : '=';
    }
    return text;
}

bool Base64Decode(std::string_view text, std::vector<unsigned char>& out) {
    out.clear();
    if (text.size() % 4 != 0) return false;
    size_t padding = 0;
    if (!text.empty() && text.back() == '=') padding = text.size() >= 2 && text[text.size() - 2] == '=' ? 2 : 1;
    out.reserve(text.size() / 4 * 3);
    for (size_t at = 0; at < text.size(); at += 4) {
        const bool last = at + 4 == text.size();
        const size_t pads = last ? padding : 0;
        unsigned long group = 0;
        for (size_t k = 0; k < 4; ++k) {
            int value = 0;
            if (k < 4 - pads) {
                value = Sextet(text[at + k]);
                if (value < 0) {
                    out.clear();
                    return false;
                }
            }
            group = group << 6 | static_cast<unsigned long>(value);
        }
        // A non-canonical text would let one signature travel under many spellings.
        if ((pads == 1 && (group & 0xFF) != 0) || (pads == 2 && (group & 0xFFFF) != 0)) {
            out.clear();
            return false;
        }
        out.push_back(static_cast<unsigned char>(group >> 16));
        if (pads < 2) out.push_back(static_cast<unsigned char>(group >> 8));
        if (pads < 1) out.push_back(static_cast<unsigned char>(group));
    }
    return true;
}
