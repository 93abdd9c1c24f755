#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "browser/login_text.h"

namespace {

// A WM_COPYDATA block as a sender lays it out: UTF-16LE units.
std::vector<uint8_t> Block(const std::u16string& units) {
    std::vector<uint8_t> bytes;
    for (char16_t c : units) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(LoginTextFromCopyData, TakesOnlyATerminatedTextOfTheClaimedSize) {
    const std::vector<uint8_t> good = Block(u"12服-一区-abc||Pauth=t||ptusertype=1||logingame=7251" + std::u16string(1, u'\0'));
    EXPECT_EQ(LoginTextFromCopyData(good.data(), good.size()), L"12服-一区-abc||Pauth=t||ptusertype=1||logingame=7251");
    const std::vector<uint8_t> pair = Block(std::u16string(u"a\xD83D\xDE00") + u'\0');
    EXPECT_EQ(LoginTextFromCopyData(pair.data(), pair.size()), std::wstring(L"a") + L"\U0001F600");

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } refused[] = {
        {"no terminator", Block(u"abc")},
        {"odd size", [] { auto b = Block(std::u16string(u"ab") + u'\0'); b.push_back(0); return b; }()},
        {"NUL inside", Block(std::u16string(u"ab") + u'\0' + u"cd" + u'\0')},
        {"lone high surrogate", Block(std::u16string(u"a\xD800") + u'\0')},
        {"lone low surrogate", Block(std::u16string(u"\xDC00") + u'\0')},
        {"empty block", {}},
        {"too long", Block(std::u16string(kLoginTextMaxChars + 1, u'x') + u'\0')},
    };
    for (const Case& c : refused) EXPECT_FALSE(LoginTextFromCopyData(c.bytes.data(), c.bytes.size())) << c.what;
    EXPECT_FALSE(LoginTextFromCopyData(nullptr, 8));
}

TEST(SplitLoginText, SplitsAtTheFirstThreeSeparatorsAndStripsTheRecordPrefixes) {
    struct Case {
        const wchar_t* text;
        LoginTextFields fields;
        PageRecord record;
    } cases[] = {
        {L"12服-一区-abc||Pauth=tok||ptusertype=1||logingame=7251",
         {L"12服-一区-abc", L"Pauth=tok", L"ptusertype=1", L"logingame=7251"},
         {L"tok", L"1", L"7251"}},
        {L"a||Pauth=x||ptusertype=2||logingame=u||v", {L"a", L"Pauth=x", L"ptusertype=2", L"logingame=u||v"},
         {L"x", L"2", L"u||v"}},
        {L"label only", {L"label only", L"", L"", L""}, {L"", L"", L""}},
        {L"a||Pauth=||", {L"a", L"Pauth=", L"", L""}, {L"", L"", L""}},
    };
    for (const Case& c : cases) {
        const LoginTextFields got = SplitLoginText(c.text);
        EXPECT_EQ(got.label, c.fields.label) << c.text;
        EXPECT_EQ(got.pauth, c.fields.pauth) << c.text;
        EXPECT_EQ(got.userType, c.fields.userType) << c.text;
        EXPECT_EQ(got.loginGame, c.fields.loginGame) << c.text;
        const PageRecord record = PageRecordFrom(got);
        EXPECT_EQ(record.pauth, c.record.pauth) << c.text;
        EXPECT_EQ(record.userType, c.record.userType) << c.text;
        EXPECT_EQ(record.loginGame, c.record.loginGame) << c.text;
    }
}

}  // namespace
