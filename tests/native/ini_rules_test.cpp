#include <gtest/gtest.h>

#include <vector>

#include "app/account_entry.h"
#include "app/ini_rules.h"

namespace {

TEST(IniRules, PathRules) {
    const std::wstring exe = L"C:\\Games\\Doln2.exe";
    const struct {
        const wchar_t* path;
        const wchar_t* exe;
        const wchar_t* current;
        bool againstModule;
        const wchar_t* resolved;
    } cases[] = {
        {L"", L"C:\\Games\\Doln2.exe", L"D:\\w", true, L"C:\\Games\\Doln2.ini"},
        {L"", L"C:\\Games.v2\\Doln2", L"D:\\w", true, L"C:\\Games.v2\\Doln2.ini"},
        {L"sub\\a.ini", L"C:\\Games\\Doln2.exe", L"D:\\w", true, L"C:\\Games\\sub\\a.ini"},
        {L"a.ini", L"C:\\Games\\Doln2.exe", L"D:\\work\\/\\", false, L"D:\\work\\a.ini"},
        {L"a.ini", L"C:\\Games\\Doln2.exe", L"D:\\work", false, L"D:\\work\\a.ini"},
        {L"E:\\x\\y.ini", L"C:\\Games\\Doln2.exe", L"D:\\w", true, L"E:\\x\\y.ini"},
        {L"e:/x.ini", L"C:\\Games\\Doln2.exe", L"D:\\w", false, L"e:/x.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveIniPath(c.path, c.exe, c.current, c.againstModule), c.resolved)
            << std::string(c.path, c.path + wcslen(c.path));
    }
}

TEST(IniRules, LetterEncoding) {
    const std::vector<uint8_t> bytes = {0x3C, 0xA1};
    EXPECT_EQ(LetterEncode(bytes), L"MDBK");
    const std::vector<uint8_t> edges = {0x00, 0xFF, 0x0F, 0xF0};
    EXPECT_EQ(LetterEncode(edges), L"AAPPPAAP");
    EXPECT_EQ(LetterEncode({}), L"");
}

class AccountEntryTest : public testing::Test {
protected:
    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
};

TEST_F(AccountEntryTest, DecodesOnceMoreAndTakesTheSecondField) {
    EXPECT_EQ(DecodeAccountText(L"a%7Cb%7cc", *m_gbk, *m_gbk), L"a|b|c");
    // "%D6%D0" is 中 in the GBK code page.
    EXPECT_EQ(DecodeAccountText(L"x|%D6%D0|y", *m_gbk, *m_gbk), L"x|中|y");
    EXPECT_EQ(DecodeAccountText(L"100%|%4|%zz", *m_gbk, *m_gbk), L"100%|%4|%zz");
    EXPECT_EQ(DecodeAccountText(L"中\u0E01", *m_gbk, *m_gbk), L"中\u0E01");

    EXPECT_EQ(SecondField(L"uid|acc|rest|more"), L"acc");
    EXPECT_EQ(SecondField(L"uid||rest"), L"");
    EXPECT_EQ(SecondField(L"uid|acc"), L"");
    EXPECT_EQ(SecondField(L"nothing"), L"");
}

TEST_F(AccountEntryTest, KeyTextStopsAtTheFirstZeroUnit) {
    EXPECT_EQ(KeyTextFromCipher({0x2D, 0x4E, 0x41, 0x00, 0x00, 0x00, 0x42, 0x00}), L"\u4E2DA");
    EXPECT_EQ(KeyTextFromCipher({0x00, 0x00, 0x41, 0x00}), L"");
    EXPECT_EQ(KeyTextFromCipher({0x41, 0x00, 0x42}), L"A");
    EXPECT_EQ(Utf16LeBytes(L"A中"), (std::vector<uint8_t>{0x41, 0x00, 0x2D, 0x4E}));
}

std::vector<uint8_t> Units(std::initializer_list<uint16_t> units) {
    std::vector<uint8_t> bytes;
    for (uint16_t u : units) {
        bytes.push_back(static_cast<uint8_t>(u));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    while (bytes.size() % 16 != 0) bytes.push_back(0x5A);
    return bytes;
}

// A key made of cipher bytes must never break the profile file: such a key
// is stored as the letters of the whole cipher instead.
TEST_F(AccountEntryTest, UnsafeKeysBecomeLetters) {
    const struct {
        const char* name;
        std::vector<uint8_t> keyCipher;
        bool keptAsText;
    } cases[] = {
        {"Chinese text", Units({0x4E2D, 0x6587, 0}), true},
        {"ASCII text", Units({'K', 'e', 'y', '1', 0}), true},
        {"line break", Units({'a', '\n', 'b', 0}), false},
        {"carriage return", Units({'a', '\r', 0}), false},
        {"equals sign", Units({'a', '=', 'b', 0}), false},
        {"opening bracket", Units({'[', 'x', 0}), false},
        {"closing bracket", Units({'x', ']', 0}), false},
        {"comment mark", Units({';', 'x', 0}), false},
        {"blank at the end", Units({'x', ' ', 0}), false},
        {"blank at the start", Units({' ', 'x', 0}), false},
        {"empty", Units({0, 'x'}), false},
        {"lone surrogate", Units({0xD800, 'x', 0}), false},
        {"not in the code page", Units({0x0E01, 0}), false},
        {"C1 control", Units({0x0085, 0}), false},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> valueCipher(32, 0x3C);
        int calls = 0;
        const Encryptor fake = [&](const std::vector<uint8_t>&) -> std::optional<std::vector<uint8_t>> {
            return ++calls == 1 ? c.keyCipher : valueCipher;
        };
        const auto entry = BuildAccountEntry(L"u|acc|x", fake, *m_gbk, *m_gbk);
        ASSERT_TRUE(entry.has_value()) << c.name;
        if (c.keptAsText) {
            EXPECT_EQ(entry->key, KeyTextFromCipher(c.keyCipher)) << c.name;
        } else {
            EXPECT_EQ(entry->key, LetterEncode(c.keyCipher)) << c.name;
        }
        EXPECT_TRUE(IsSafeProfileKey(entry->key, *m_gbk)) << c.name;
        EXPECT_EQ(entry->valueCipher, valueCipher) << c.name;
    }
}

TEST_F(AccountEntryTest, EncryptsTheSecondFieldAndTheTextAsReceived) {
    std::vector<std::vector<uint8_t>> inputs;
    const Encryptor record = [&](const std::vector<uint8_t>& plain) -> std::optional<std::vector<uint8_t>> {
        inputs.push_back(plain);
        return std::vector<uint8_t>(16, 0x41);
    };
    ASSERT_TRUE(BuildAccountEntry(L"9%7CAb%7Cz", record, *m_gbk, *m_gbk).has_value());
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0], Utf16LeBytes(L"Ab"));
    EXPECT_EQ(inputs[1], Utf16LeBytes(L"9%7CAb%7Cz"));

    const Encryptor failing = [](const std::vector<uint8_t>&) -> std::optional<std::vector<uint8_t>> { return {}; };
    EXPECT_FALSE(BuildAccountEntry(L"a|b|c", failing, *m_gbk, *m_gbk).has_value());
}

}  // namespace
