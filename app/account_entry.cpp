#include "app/account_entry.h"

#include "app/ini_rules.h"

namespace {

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

std::wstring DecodeAccountText(std::wstring_view text, const ICodePage& threadAnsi, const ICodePage& systemAnsi) {
    std::wstring out;
    std::string run;  // bytes waiting to be read back in the system code page
    auto flush = [&] {
        if (!run.empty()) out += systemAnsi.ToWide(run);
        run.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            run += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
            continue;
        }
        std::string bytes;
        if (threadAnsi.FromWide(text.substr(i, 1), bytes)) {
            run += bytes;
        } else {
            flush();
            out += text[i];
        }
    }
    flush();
    return out;
}

std::wstring SecondField(std::wstring_view text) {
    const size_t first = text.find(L'|');
    if (first == std::wstring_view::npos) return {};
    const size_t second = text.find(L'|', first + 1);
    if (second == std::wstring_view::npos) return {};
    return std::wstring(text.substr(first + 1, second - first - 1));
}

std::vector<uint8_t> Utf16LeBytes(std::wstring_view text) {
    std::vector<uint8_t> bytes;
    for (wchar_t c : text) {
        auto unit = static_cast<uint32_t>(c);
        // A 4-byte wchar_t (native builds) holds whole code points.
        if (unit > 0xFFFF) {
            unit -= 0x10000;
            const uint32_t high = 0xD800 + (unit >> 10), low = 0xDC00 + (unit & 0x3FF);
            bytes.insert(bytes.end(), {static_cast<uint8_t>(high), static_cast<uint8_t>(high >> 8),
                                       static_cast<uint8_t>(low), static_cast<uint8_t>(low >> 8)});
            continue;
        }
        bytes.push_back(static_cast<uint8_t>(unit));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

std::wstring KeyTextFromCipher(const std::vector<uint8_t>& cipher) {
    std::wstring text;
    for (size_t i = 0; i + 1 < cipher.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(cipher[i] | cipher[i + 1] << 8);
        if (unit == 0) break;
        text += unit;
    }
    return text;
}

bool IsSafeProfileKey(std::wstring_view key, const ICodePage& fileAnsi) {
    if (key.empty() || key.front() == L';' || key.front() == L'#') return false;
    if (key.front() == L' ' || key.back() == L' ' || key.front() == 0x3000 || key.back() == 0x3000) return false;
    for (wchar_t c : key) {
        const auto unit = static_cast<uint32_t>(c);
        if (unit < 0x20 || unit == 0x7F || (unit >= 0x80 && unit < 0xA0)) return false;
        if (c == L'=' || c == L'[' || c == L']') return false;
        // Surrogates: one 16-bit unit of a pair read apart from its partner.
        if (unit >= 0xD800 && unit <= 0xDFFF) return false;
    }
    std::string bytes;
    if (!fileAnsi.FromWide(key, bytes)) return false;
    return fileAnsi.ToWide(bytes) == key;
}

std::optional<AccountEntry> BuildAccountEntry(std::wstring_view accountText, const Encryptor& encrypt,
                                              const ICodePage& threadAnsi, const ICodePage& systemAnsi) {
    const std::wstring field = SecondField(DecodeAccountText(accountText, threadAnsi, systemAnsi));
    const auto keyCipher = encrypt(Utf16LeBytes(field));
    const auto valueCipher = encrypt(Utf16LeBytes(accountText));
    if (!keyCipher || !valueCipher) return std::nullopt;
    AccountEntry entry;
    entry.key = KeyTextFromCipher(*keyCipher);
    if (!IsSafeProfileKey(entry.key, systemAnsi)) entry.key = LetterEncode(*keyCipher);
    entry.valueCipher = *valueCipher;
    return entry;
}
