#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/profile_store.h"

// One key of the settings file with its default and the read buffer the
// program uses for it (a longer stored value reads back cut to buffer - 1).
struct SettingKey {
    std::wstring_view name;
    std::wstring_view defaultValue;
    size_t bufferChars;
};

// The settings file's keys. Every build keeps them in the section named by its
// control block's ShortName; this table is the only place they are spelled.
namespace settings {

inline constexpr std::wstring_view kFolder = L"\\7251\\GameLogin";
inline constexpr std::wstring_view kFileName = L"Statistic.ini";

inline constexpr SettingKey kInstallTag{L"InstallTag", L"1", 8};
inline constexpr SettingKey kInst{L"Inst", L"0", 32};
inline constexpr SettingKey kUnInst{L"UnInst", L"0", 32};
inline constexpr SettingKey kGame{L"Game", L"0", 32};
inline constexpr SettingKey kLstTime{L"lstTime", L"0", 16};
inline constexpr SettingKey kKeepdays{L"keepdays", L"1", 32};
inline constexpr SettingKey kWeekdays{L"weekdays", L"0", 32};
inline constexpr SettingKey kIconName{L"iconName", L"", 32};
inline constexpr SettingKey kIconTime{L"iconTime", L"", 64};
inline constexpr SettingKey kRunningTime{L"RunningTime", L"", 32};
inline constexpr SettingKey kShortKey{L"ShortKey", L"0,121", 32};
inline constexpr SettingKey kAltWndKey{L"AltWndKey", L"2,9", 32};
inline constexpr SettingKey kSndKey{L"SndKey", L"2,81", 32};
inline constexpr SettingKey kRegUrl{L"RegUrl", L"0", 2048};
inline constexpr SettingKey kKey{L"Key", L"0", 2048};
inline constexpr SettingKey kLoginCount{L"LoginCount", L"0", 32};

// The stored day bitmap holds bits 0 to 6; anything above this is taken as 0.
inline constexpr int kWeekdaysMax = 128;

}  // namespace settings

// Reads text the way _wtoi does: optional blanks and sign, then leading
// digits; 0 when there are none. The magnitude stops at 2^32 - 1, so
// a huge stored number cannot overflow.
int64_t ParseLeadingInt(std::wstring_view text);

class ICodePage;

// True when `value`, written to `key`, reads back as the same text, the only
// kind of value from outside (the portal, the login page) the settings file
// may take: it fits the key's read buffer; every character has its form in
// the file's code page; it holds no control character or line separator (a
// line break would start a key or a section of its own); and it neither
// begins nor ends with a blank nor stands in quotes, which the profile
// functions take off when they read.
bool ReadsBackIdentically(const SettingKey& key, std::wstring_view value, const ICodePage& fileCodePage);

// "%u" / "%d" without padding.
std::wstring FormatUnsigned(uint64_t value);
std::wstring FormatInt(int64_t value);

// The keys of one build's section.
class CSettings {
public:
    CSettings(IProfileStore& store, std::wstring section) : m_store(store), m_section(std::move(section)) {}

    std::wstring Read(const SettingKey& key) const;
    bool Write(const SettingKey& key, std::wstring_view value);

    // Counter keys: stored value + 1, written back; returns the new value.
    // A stored negative or unreadable value counts as 0, and the counter
    // stops at its maximum instead of wrapping round to 0.
    uint32_t CountUp(const SettingKey& key);

    // Only the first character counts: "10" is set.
    bool IsInstallTagSet() const;

    // The stored day bitmap as a profile integer; above 128 or negative is 0.
    int ReadWeekdays() const;

    const std::wstring& Section() const { return m_section; }

private:
    IProfileStore& m_store;
    std::wstring m_section;
};
