#include <gtest/gtest.h>

#include "tools/shortcut_names.h"

TEST(ShortcutNames, PlainFileNames) {
    struct Case {
        std::wstring name;
        bool plain;
    } cases[] = {
        {L"梦幻大陆", true},
        {L"Doln 2.0", true},
        {L"a.b.c", true},
        {L"x.", true},  // ".url" follows, so the dot is not trailing
        {L"", false},
        {L".", false},
        {L"..", false},
        {L" . ", false},
        {L"..\\x", false},
        {L"../x", false},
        {L"a\\b", false},
        {L"C:x", false},
        {L"a*b", false},
        {L"a?b", false},
        {L"a\"b", false},
        {L"a<b", false},
        {L"a>b", false},
        {L"a|b", false},
        {std::wstring(L"a\tb"), false},
        {std::wstring(L"a\0b", 3), false},
        {L"NUL", false},
        {L"nul", false},
        {L"Con.txt", false},
        {L"nul ", false},
        {L"COM1", false},
        {L"lpt9.x", false},
        {L"COM0", true},
        {L"COM10", true},
        {L"CONSOLE", true},
        {L"AUXILIARY", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsPlainFileName(c.name), c.plain) << "name: " << testing::PrintToString(c.name);
}

TEST(ShortcutNames, FavouriteNameKeeps127CharactersWithoutSplittingAPair) {
    EXPECT_EQ(FavouriteNameFromEdit(L"game"), L"game");
    EXPECT_EQ(FavouriteNameFromEdit(std::wstring(200, L'a')), std::wstring(127, L'a'));
    // A character outside the basic plane whose first half is the 127th.
    const std::wstring pair = L"\xD83C\xDFAE";
    const std::wstring text = std::wstring(126, L'a') + pair + L"b";
    EXPECT_EQ(FavouriteNameFromEdit(text), std::wstring(126, L'a'));
}

TEST(ShortcutNames, FavouriteTextHasTheShellsLayout) {
    EXPECT_EQ(FavouriteText(L"http://g.example/play?s=1"),
              L"[DEFAULT]\r\nBASEURL=http://g.example/play?s=1\r\n"
              L"[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
              L"[InternetShortcut]\r\nURL=http://g.example/play?s=1\r\nIDList=\r\n");
}

TEST(ShortcutNames, FavouriteTextIsCutAtItsBound) {
    const std::wstring longUrl = L"http://g.example/" + std::wstring(600, L'q');
    const std::wstring text = FavouriteText(longUrl);
    EXPECT_EQ(text.size(), kFavouriteTextMax);
    EXPECT_EQ(text, (L"[DEFAULT]\r\nBASEURL=" + longUrl).substr(0, kFavouriteTextMax));

    // The cut never leaves the first half of a pair at the end.
    const std::wstring head = L"[DEFAULT]\r\nBASEURL=";
    std::wstring url(kFavouriteTextMax - head.size() - 1, L'u');
    url += L"\xD83C\xDFAE";
    EXPECT_EQ(FavouriteText(url), head + url.substr(0, url.size() - 2));
}

TEST(ShortcutNames, DescriptionTakesTheHostNameWithoutPort) {
    EXPECT_EQ(DesktopShortcutDescription(L"www.example.com"), L"www.example.com中国最大的网页游戏平台");
    EXPECT_EQ(DesktopShortcutDescription(L"127.0.0.1:7251"), L"127.0.0.1中国最大的网页游戏平台");
}
