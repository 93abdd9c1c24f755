#include "net/url_encode.h"

#include "base/utf8.h"

namespace {

constexpr size_t kUtf8Buffer = 2048;

bool IsKept(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9');
}

}  // namespace

std::wstring UrlEncode(std::wstring_view text, size_t capacity) {
    const std::string utf8 = WideToUtf8(text);
    if (utf8.size() >= kUtf8Buffer) return {};
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(utf8.size() * 3);
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsKept(byte)) {
            out += static_cast<wchar_t>(byte);
        } else {
            out += L'%';
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0x0F];
        }
    }
    if (out.size() + 1 > capacity) return {};
    return out;
}
