#include <gtest/gtest.h>

#include <memory>

#include "login/load_game.h"

#include "browser/login_text.h"
#include "login/setpauth.h"

namespace {

TEST(LoadGame, SplitsLabelPairAndGameAddress) {
    const struct {
        const wchar_t* url;
        const wchar_t* label;
        const wchar_t* pair;
        const wchar_t* address;
    } cases[] = {
        {L"app://loadgame/S12服-a-abc|http://g/play?s=12", L"S12服-a-abc", L"logingame=7251", L"http://g/play?s=12"},
        {L"app://loadgame/L|http://g/p?s=1&logingame=9", L"L", L"logingame=9", L"http://g/p?s=1"},
        // The pair runs from the first "logingame=" to the end of the tail.
        {L"app://loadgame/L|h?a&logingame=2&b=3", L"L", L"logingame=2&b=3", L"h?a"},
        {L"app://loadgame/L|h?logingame=2&b&logingame=3", L"L", L"logingame=2&b&logingame=3",
         L"h?logingame=2&b&logingame=3"},
        {L"app://loadgame/L|logingame=3&s=1", L"L", L"logingame=7251", L"logingame=3&s=1"},
        {L"app://loadgame/L|", L"L", L"logingame=7251", L""},
        {L"app://loadgame/|x|y", L"", L"logingame=7251", L"x|y"},
        {L"app://loadgame/no-bar-at-all", L"", L"logingame=7251", L""},
        {L"app://loadgame/", L"", L"logingame=7251", L""},
        {L"app://loadgame|ab|c", L"ab", L"logingame=7251", L"c"},  // a "|" at 14 is not looked at
    };
    for (const auto& c : cases) {
        const LoadGameParts parts = SplitLoadGame(c.url);
        EXPECT_EQ(parts.label, c.label) << c.url;
        EXPECT_EQ(parts.pair, c.pair) << c.url;
        EXPECT_EQ(parts.gameAddress, c.address) << c.url;
    }
}

TEST(LoadGame, ParsesAndNormalisesLabels) {
    const struct {
        const wchar_t* label;
        const wchar_t* server;
        const wchar_t* middle;
        const wchar_t* account;
    } cases[] = {
        {L"S12服-《乙》一区双线-abc", L"12", L"一区双线", L"abc"},
        {L"S12服-《乙》一区双线电信-abc", L"12", L"一区双线", L"abc"},
        {L"SxS3服-中》-a-b", L"x3", L"", L"a-b"},
        {L"7服-双线-", L"7", L"双线", L""},
        {L"7服-双线", L"7", L"", L"7服-双线"},  // no "-" after the server: the whole label
        {L"abc-def", L"", L"bc", L"def"},  // no "服-": the middle starts at 1
        {L"plain", L"", L"", L"plain"},
        {L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        const LoginLabel parts = ParseLabel(c.label);
        EXPECT_EQ(parts.server, c.server) << c.label;
        EXPECT_EQ(parts.middle, c.middle) << c.label;
        EXPECT_EQ(parts.account, c.account) << c.label;
    }
}

class LabelDecoding : public ::testing::Test {
protected:
    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
};

TEST_F(LabelDecoding, PercentEncodedUtf8IsReadAndBadLabelsRefused) {
    const std::wstring max(kLabelBytesMax - 3, L'a');
    const struct {
        std::wstring label;
        std::optional<std::wstring> decoded;
    } cases[] = {
        {L"S12服-一区-abc", L"S12服-一区-abc"},
        {L"S12%E6%9C%8D-%e4%b8%80%E5%8C%BA-abc", L"S12服-一区-abc"},
        {L"%E6%9C%8D-%E4%B8%80-%", L"服-一-%"},  // a "%" without hex digits stays
        {L"服-%E4%B8%80", std::nullopt},          // raw 服 turns into GBK bytes, not UTF-8
        {L"a%2", L"a%2"},
        {max + L"%41", max + L"A"},               // 255 bytes in code-page form
        {max + L"%41b", std::nullopt},            // 256
        {std::wstring(200, L'中') + L"%41", std::nullopt},  // 403 GBK bytes
        {L"%C4%E3-gbk", std::nullopt},            // not UTF-8
        {L"%E4%B8-cut", std::nullopt},
        {L"a%7C%7CPauth=forged", std::nullopt},  // would split the login text
        {L"a%00b", std::nullopt},
        {std::wstring(L"a\0b", 3), std::nullopt},  // raw control characters, no "%"
        {L"a\nb", std::nullopt},
        {L"\U0001F600%41", std::nullopt},         // no GBK form
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeLabel(c.label, *m_gbk), c.decoded) << c.label.size();
}

// The text never passes the bound the frame takes: a cookie that would pass
// it goes out empty, whole or not at all; a label and pair that alone pass
// it send nothing.
TEST(LoginText, JoinsLabelCookiesAndPairWithinTheFramesBound) {
    const LoginLabel label = ParseLabel(L"S12服-《乙》一区双线-abc");
    EXPECT_EQ(BuildLoginText(label, L"Pauth=T0k", L"ptusertype=2", L"logingame=7251"),
              L"12服-一区双线-abc||Pauth=T0k||ptusertype=2||logingame=7251");
    EXPECT_EQ(BuildLoginText(label, L"", L"", L"logingame=1"), L"12服-一区双线-abc||||||logingame=1");
    EXPECT_EQ(DuplicateLoginMessage(label), L"账号 abc 已在 12服 登录，同一账号不能在一服重复登录");

    const size_t fixed = FormatLabel(label).size() + 6 + 1;  // separators and the pair "p"
    const size_t room = kLoginTextMaxChars - fixed;
    const std::wstring whole(room, L'x'), half(room / 2, L'y');
    struct Case {
        std::wstring pauth, userType, pair;
        std::optional<std::pair<size_t, size_t>> kept;  // the cookies' lengths in the text
    } const cases[] = {
        {L"Pauth=" + std::wstring(300, L'p'), L"ptusertype=1", L"p", {{306, 12}}},
        {whole, L"", L"p", {{room, 0}}},
        {whole + L"x", L"t", L"p", {{0, 1}}},
        {half, whole, L"p", {{half.size(), 0}}},
        {L"", L"", std::wstring(kLoginTextMaxChars, L'q'), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pauth.size());
        const std::optional<std::wstring> text = BuildLoginText(label, c.pauth, c.userType, c.pair);
        ASSERT_EQ(text.has_value(), c.kept.has_value());
        if (!text) continue;
        EXPECT_LE(text->size(), kLoginTextMaxChars);
        const LoginTextFields fields = SplitLoginText(*text);
        EXPECT_EQ(fields.pauth.size(), c.kept->first);
        EXPECT_EQ(fields.userType.size(), c.kept->second);
        EXPECT_EQ(fields.loginGame, c.pair);
        // The frame takes whatever fits the bound.
        const std::wstring withNul = *text + L'\0';
        std::u16string units(withNul.begin(), withNul.end());
        EXPECT_TRUE(LoginTextFromCopyData(units.data(), units.size() * 2).has_value());
    }
}

TEST_F(LabelDecoding, SetPauthTakesTheDecodedValueLessItsLastCharacter) {
    const struct {
        const wchar_t* url;
        std::optional<std::wstring> token;
    } cases[] = {
        {L"app://setpauth|pauth=u%7C123%7Cabc\"", L"u|123|abc"},
        {L"app://setpauth?pauth=T%2b1;", L"T+1"},
        {L"app://setpauth|x|pauth=%D6%D0;", L"中"},  // bytes read back in the thread's code page
        {L"app://setpauth|pauth=", L""},
        {L"app://setpauth|pauth=a", L""},
        {L"app://setpauth|x=1|pauth=Q;", L"Q"},       // after the first "|" only
        {L"app://setpauth|token=abc", std::nullopt},  // not a piece of the address
        {L"app://setpauth", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeSetPauth(c.url, *m_gbk), c.token) << c.url;
}

}  // namespace
