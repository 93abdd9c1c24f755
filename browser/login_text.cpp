#include "browser/login_text.h"

#include <cstdint>

namespace {

std::wstring After(std::wstring_view text, size_t prefix) {
    return text.size() > prefix ? std::wstring(text.substr(prefix)) : std::wstring();
}

}  // namespace

std::optional<std::wstring> LoginTextFromCopyData(const void* data, size_t bytes) {
    if (data == nullptr || bytes < 2 || bytes % 2 != 0) return std::nullopt;
    const size_t units = bytes / 2;
    if (units - 1 > kLoginTextMaxChars) return std::nullopt;
    const auto* raw = static_cast<const uint8_t*>(data);
    auto unit = [raw](size_t i) { return static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8)); };
    if (unit(units - 1) != 0) return std::nullopt;
    std::wstring text;
    text.reserve(units - 1);
    for (size_t i = 0; i + 1 < units; ++i) {
        const char16_t c = unit(i);
        if (c == 0) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            const char16_t low = i + 2 < units ? unit(i + 1) : 0;
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            if constexpr (sizeof(wchar_t) == 2) {
                text.push_back(static_cast<wchar_t>(c));
                text.push_back(static_cast<wchar_t>(low));
            } else {
                text.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00)));
            }
            ++i;
            continue;
        }
        if (c >= 0xDC00 && c <= 0xDFFF) return std::nullopt;
        text.push_back(static_cast<wchar_t>(c));
    }
    return text;
}

LoginTextFields SplitLoginText(std::wstring_view text) {
    std::wstring* fields[4];
    LoginTextFields result;
    fields[0] = &result.label;
    fields[1] = &result.pauth;
    fields[2] = &result.userType;
    fields[3] = &result.loginGame;
    for (int i = 0; i < 3; ++i) {
        const size_t separator = text.find(L"||");
        if (separator == std::wstring_view::npos) {
            *fields[i] = std::wstring(text);
            return result;
        }
        *fields[i] = std::wstring(text.substr(0, separator));
        text.remove_prefix(separator + 2);
    }
    result.loginGame = std::wstring(text);
    return result;
}

PageRecord PageRecordFrom(const LoginTextFields& fields) {
    return PageRecord{After(fields.pauth, 6), After(fields.userType, 11), After(fields.loginGame, 10)};
}
