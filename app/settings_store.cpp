#include "app/settings_store.h"

#include "base/code_page.h"

namespace {

bool IsControlOrSeparator(wchar_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// The spaces a profile reader may trim: ASCII's and Unicode's, the
// ideographic space and the byte-order mark among them.
bool IsBlank(wchar_t c) {
    return c == L' ' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F || c == 0x205F ||
           c == 0x3000 || c == 0xFEFF;
}

}  // namespace

bool ReadsBackIdentically(const SettingKey& key, std::wstring_view value, const ICodePage& fileCodePage) {
    if (value.size() >= key.bufferChars) return false;
    for (wchar_t c : value) {
        if (IsControlOrSeparator(c)) return false;
    }
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return false;
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == L'"' || value.front() == L'\''))
        return false;
    std::string bytes;
    return fileCodePage.FromWide(value, bytes);
}

int64_t ParseLeadingInt(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value >= static_cast<int64_t>(UINT32_MAX)) {
            value = UINT32_MAX;
            break;
        }
    }
    return negative ? -value : value;
}

std::wstring FormatUnsigned(uint64_t value) { return std::to_wstring(value); }

std::wstring FormatInt(int64_t value) { return std::to_wstring(value); }

std::wstring CSettings::Read(const SettingKey& key) const {
    return m_store.Read(m_section, key.name, key.defaultValue, key.bufferChars);
}

bool CSettings::Write(const SettingKey& key, std::wstring_view value) {
    return m_store.Write(m_section, key.name, value);
}

uint32_t CSettings::CountUp(const SettingKey& key) {
    const int64_t stored = ParseLeadingInt(Read(key));
    uint32_t next = stored <= 0 ? 1u : static_cast<uint32_t>(stored) + 1u;
    if (stored >= static_cast<int64_t>(UINT32_MAX)) next = UINT32_MAX;
    Write(key, FormatUnsigned(next));
    return next;
}

bool CSettings::IsInstallTagSet() const {
    const std::wstring tag = Read(settings::kInstallTag);
    return !tag.empty() && tag[0] == L'1';
}

int CSettings::ReadWeekdays() const {
    const std::wstring text = m_store.Read(m_section, settings::kWeekdays.name, L"", settings::kWeekdays.bufferChars);
    const int64_t value = ParseLeadingInt(text);
    return value < 0 || value > settings::kWeekdaysMax ? 0 : static_cast<int>(value);
}
