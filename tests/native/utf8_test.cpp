#include <gtest/gtest.h>

#include "base/utf8.h"

TEST(Utf8, RoundTripsAcrossPlanes) {
    const std::string samples[] = {"", "ascii", "梦幻大陆", "é ß ñ", "\xF0\x9F\x8E\xAE game", "a\x7F" "b"};
    for (const auto& text : samples) {
        std::wstring wide;
        ASSERT_TRUE(Utf8ToWide(text, wide)) << text;
        EXPECT_EQ(WideToUtf8(wide), text) << text;
    }
    std::wstring wide;
    ASSERT_TRUE(Utf8ToWide("\xF0\x9F\x8E\xAE", wide));
    EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 2u : 1u);
}

TEST(Utf8, RefusesMalformedInput) {
    const std::string bad[] = {
        "\x80",              // lone continuation byte
        "\xC0\xAF",          // overlong '/'
        "\xE0\x80\xAF",      // overlong
        "\xED\xA0\x80",      // encoded surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xE6\x89",          // cut three-byte sequence
        "ok\xFF",            // invalid lead byte after valid text
    };
    for (const auto& text : bad) {
        std::wstring wide = L"stale";
        EXPECT_FALSE(Utf8ToWide(text, wide)) << testing::PrintToString(text);
        EXPECT_TRUE(wide.empty());
    }
}

TEST(Utf8, LoneSurrogateBecomesReplacement) {
    if constexpr (sizeof(wchar_t) == 2) {
        EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
    } else {
        EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
    }
}
