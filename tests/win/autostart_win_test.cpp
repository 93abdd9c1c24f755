#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/autostart_win.h"

namespace {

// A 64-bit test program: the plain Run key, never its Wow6432Node twin.
constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kName = L"WinTestAutostart";

struct RawValue {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = 0;
    std::vector<BYTE> data;
};

RawValue ReadRaw(const wchar_t* name) {
    RawValue value;
    DWORD size = 0;
    value.status = RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                                nullptr, &size);
    if (value.status != ERROR_SUCCESS) return value;
    value.data.resize(size);
    value.status = RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                                value.data.data(), &size);
    value.data.resize(size);
    return value;
}

std::wstring Text(const RawValue& value) {
    const auto* chars = reinterpret_cast<const wchar_t*>(value.data.data());
    const size_t count = value.data.size() / sizeof(wchar_t);
    return std::wstring(chars, wcsnlen(chars, count));
}

void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, name, type, data, bytes), ERROR_SUCCESS);
}

TEST(AutostartWinTest, SetStoresThePathWithoutItsNulQuotedWhenItHasABlank) {
    ClearAutostart(kName);
    const struct {
        std::wstring path, stored;
    } cases[] = {
        {L"C:\\ProgramData\\7251\\GameLogin\\梦幻 大陆.exe", L"\"C:\\ProgramData\\7251\\GameLogin\\梦幻 大陆.exe\""},
        {L"C:\\Program Files\\Doln2.exe", L"\"C:\\Program Files\\Doln2.exe\""},
        {L"\"C:\\Program Files\\Doln2.exe\"", L"\"C:\\Program Files\\Doln2.exe\""},
        {L"D:\\other.exe", L"D:\\other.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        ASSERT_TRUE(SetAutostart(kName, c.path));
        // The login page's reading of it.
        EXPECT_TRUE(IsAutostartSet(kName));
        // The system itself appends the NUL a string value was given without.
        RawValue raw = ReadRaw(kName);
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(Text(raw), c.stored);
    }

    ASSERT_TRUE(ClearAutostart(kName));
    EXPECT_FALSE(IsAutostartSet(kName));
    EXPECT_EQ(ReadRaw(kName).status, ERROR_FILE_NOT_FOUND);
    // Clearing what is not there leaves it not there: a success.
    EXPECT_TRUE(ClearAutostart(kName));
}

TEST(AutostartWinTest, TheTestReadsOnlyTheFirstCharacter) {
    struct Case {
        const char* what;
        std::wstring text;
        DWORD bytes;  // of text, as stored
        bool set;
    };
    const std::wstring huge(400, L'x');
    const Case cases[] = {
        {"empty text", L"", 0, false},
        {"only a NUL", std::wstring(1, L'\0'), sizeof(wchar_t), false},
        {"one letter", L"a", sizeof(wchar_t), true},
        {"NUL first, text after", std::wstring(L"\0abc", 4), 4 * sizeof(wchar_t), false},
        // Longer than the 520-byte read buffer: still a set value.
        {"over the read buffer", huge, static_cast<DWORD>(huge.size() * sizeof(wchar_t)), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteRaw(kName, REG_SZ, c.text.data(), c.bytes);
        EXPECT_EQ(IsAutostartSet(kName), c.set);
    }
    ClearAutostart(kName);
    EXPECT_FALSE(IsAutostartSet(kName));
    // Another value of the key is left alone.
    WriteRaw(L"WinTestOther", REG_SZ, L"x", sizeof(wchar_t));
    ClearAutostart(kName);
    EXPECT_EQ(ReadRaw(L"WinTestOther").status, ERROR_SUCCESS);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, L"WinTestOther");
}

}  // namespace
