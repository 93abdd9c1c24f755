#include <gtest/gtest.h>

#include <map>

#include "ui/line_walk.h"

using namespace ui;

namespace {

// Every character 10 pixels wide unless listed; a surrogate pair is one
// character. Records the texts it was asked about.
class FixedMeasurer : public ITextMeasurer {
public:
    std::map<wchar_t, int> widths;
    mutable std::vector<std::wstring> asked;

    int TextWidth(std::wstring_view text) const override {
        asked.emplace_back(text);
        int width = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00) ++i;
            const auto found = widths.find(text[i]);
            width += found == widths.end() ? 10 : found->second;
        }
        return width;
    }
};

std::vector<std::wstring> Texts(const StaticWalk& walk) {
    std::vector<std::wstring> texts;
    for (const auto& line : walk.lines) texts.push_back(line.text);
    return texts;
}

constexpr int kLineH = 16;
constexpr int kSpacing = 3;

}  // namespace

TEST(LineWalk, CarriageReturnsAreNeverDrawnAndLineFeedsBreak) {
    FixedMeasurer measurer;
    const auto walk = WalkStaticText(L"ab\r\ncd\r\n\r\nef", {0, 0, 100, 16}, kLineH, 10, kSpacing, measurer);
    const std::vector<StaticLine> expected = {
        {L"ab", {0, 0, 100, 16}},
        {L"cd", {0, 19, 100, 35}},
        {L"ef", {0, 57, 100, 73}},  // the empty third line keeps its place
    };
    EXPECT_EQ(walk.lines, expected);
    EXPECT_EQ(walk.lineCount, 4);
    EXPECT_EQ(walk.neededHeight, 16 + 3 * 19);
    for (const auto& text : measurer.asked) EXPECT_EQ(text.find(L'\r'), std::wstring::npos);
}

TEST(LineWalk, BreaksWhereTheNextCharacterWouldNotFit) {
    const struct {
        const char* name;
        std::wstring_view text;
        int width;
        std::vector<std::wstring> lines;
    } cases[] = {
        {"exact fit stays on the line", L"abcdefghij", 30, {L"abc", L"def", L"ghi", L"j"}},
        {"one pixel short", L"abcdefghij", 29, {L"ab", L"cd", L"ef", L"gh", L"ij"}},
        {"no word boundaries", L"ab cd ef", 45, {L"ab c", L"d ef"}},
        {"chinese text", L"网络连接失败请稍后再试", 55, {L"网络连接失", L"败请稍后再", L"试"}},
        {"line feed resets the width", L"abcd\nabcd", 30, {L"abc", L"d", L"abc", L"d"}},
    };
    for (const auto& c : cases) {
        FixedMeasurer measurer;
        const auto walk = WalkStaticText(c.text, {0, 0, c.width, 16}, kLineH, 10, kSpacing, measurer);
        EXPECT_EQ(Texts(walk), c.lines) << c.name;
        EXPECT_EQ(walk.lineCount, static_cast<int>(c.lines.size())) << c.name;
    }
}

TEST(LineWalk, ThreeLinesGrowAOneLineControl) {
    FixedMeasurer measurer;
    const PixelRect oneLine{22, 0, 62, 16};  // 40 wide, right of a 16-pixel image
    const auto walk = WalkStaticText(L"账号：玩家一号的名字很长", oneLine, kLineH, 10, kSpacing, measurer);
    ASSERT_EQ(walk.lineCount, 3);
    EXPECT_EQ(walk.neededHeight, 16 + 2 * (16 + 3));
    EXPECT_GT(walk.neededHeight, oneLine.Height());
    ASSERT_EQ(walk.lines.size(), 3u);
    EXPECT_EQ(walk.lines[2].rect, (PixelRect{22, 38, 62, 54}));
}

TEST(LineWalk, CharacterWiderThanTheRectangleIsDrawnAndPassed) {
    const struct {
        const char* name;
        std::wstring_view text;
        std::vector<std::wstring> lines;
    } cases[] = {
        {"between narrow ones", L"a宽b", {L"a", L"宽", L"b"}},
        {"only wide ones", L"宽宽宽", {L"宽", L"宽", L"宽"}},
        {"first character", L"宽ab", {L"宽", L"ab"}},
    };
    for (const auto& c : cases) {
        FixedMeasurer measurer;
        measurer.widths[L'宽'] = 200;
        const auto walk = WalkStaticText(c.text, {0, 0, 50, 16}, kLineH, 10, kSpacing, measurer);
        EXPECT_EQ(Texts(walk), c.lines) << c.name;
    }
}

TEST(LineWalk, SurrogatePairIsOneCharacter) {
    // U+1F3AE as UTF-16, built from code units so the test means the same with
    // a 4-byte wchar_t.
    const std::wstring pair{static_cast<wchar_t>(0xD83C), static_cast<wchar_t>(0xDFAE)};
    const std::wstring text = L"a" + pair + L"b";
    FixedMeasurer measurer;
    EXPECT_EQ(Texts(WalkStaticText(text, {0, 0, 20, 16}, kLineH, 10, kSpacing, measurer)),
              (std::vector<std::wstring>{L"a" + pair, L"b"}));
    EXPECT_EQ(Texts(WalkStaticText(text, {0, 0, 15, 16}, kLineH, 10, kSpacing, measurer)),
              (std::vector<std::wstring>{L"a", pair, L"b"}));
    // A lone high surrogate is just a character of its own.
    const std::wstring lone{L'a', static_cast<wchar_t>(0xD83C), L'b'};
    EXPECT_EQ(WalkStaticText(lone, {0, 0, 15, 16}, kLineH, 10, kSpacing, measurer).lineCount, 3);
}

TEST(LineWalk, NothingDrawnInARectangleNarrowerThanACharacter) {
    FixedMeasurer measurer;
    const auto walk = WalkStaticText(L"abc\ndef", {0, 0, 9, 16}, kLineH, 10, kSpacing, measurer);
    EXPECT_TRUE(walk.lines.empty());
    EXPECT_EQ(walk.lineCount, 1);
    EXPECT_EQ(walk.neededHeight, kLineH);
    EXPECT_TRUE(measurer.asked.empty());
}

TEST(LineWalk, EmptyTextAndTrailingLineFeed) {
    FixedMeasurer measurer;
    const auto empty = WalkStaticText(L"", {0, 0, 50, 16}, kLineH, 10, kSpacing, measurer);
    EXPECT_TRUE(empty.lines.empty());
    EXPECT_EQ(empty.lineCount, 1);
    EXPECT_EQ(empty.neededHeight, kLineH);

    const auto trailing = WalkStaticText(L"ab\n", {0, 0, 50, 16}, kLineH, 10, kSpacing, measurer);
    EXPECT_EQ(Texts(trailing), std::vector<std::wstring>{L"ab"});
    EXPECT_EQ(trailing.lineCount, 2);
}

TEST(LineWalk, NeededHeightSaturates) {
    EXPECT_EQ(StaticNeededHeight(16, 1, 3), 16);
    EXPECT_EQ(StaticNeededHeight(16, 0, 3), 16);
    EXPECT_EQ(StaticNeededHeight(16, 4, 0), 64);
    EXPECT_EQ(StaticNeededHeight(1000, INT32_MAX, 3), INT32_MAX);
}

TEST(StaticText, DrawFormatFromStyle) {
    const struct {
        const char* name;
        uint32_t style, format;
    } cases[] = {
        {"left", 0, kDtWordBreak},
        {"centre", kSsCenter, kDtWordBreak | kDtCenter | kDtVCenter},
        {"right", kSsRight, kDtWordBreak | kDtRight},
        {"icon type is not centre and right", 0x3, kDtWordBreak},
        {"notify changes nothing", 0x100, kDtWordBreak},
        {"end ellipsis", kSsCenter | kSsEndEllipsis, kDtWordBreak | kDtCenter | kDtVCenter | kDtEndEllipsis},
        {"path ellipsis", kSsPathEllipsis, kDtWordBreak | kDtPathEllipsis | kDtSingleLine},
        {"word ellipsis", kSsWordEllipsis, kDtWordBreak | kDtWordEllipsis},
        {"centre image", kSsRight | kSsCenterImage, kDtWordBreak | kDtRight | kDtSingleLine | kDtVCenter},
    };
    for (const auto& c : cases) EXPECT_EQ(StaticDrawFormat(c.style), c.format) << c.name;
}

TEST(StaticText, FontRules) {
    const FontFields base{-11, 0, 400, false, L"MS Shell Dlg"};
    const struct {
        const char* name;
        FontFields base;
        int height, weight, width;
        bool underline;
        FontFields font;
    } cases[] = {
        {"defaults", base, 0, -1, 0, false, {-12, 0, 400, false, L"微软雅黑"}},
        {"all set", base, -16, 700, 5, true, {-16, 5, 700, true, L"微软雅黑"}},
        {"weight 0 is a weight", base, 0, 0, 0, false, {-12, 0, 0, false, L"微软雅黑"}},
        {"underline false keeps the base's", {-11, 3, 400, true, L"x"}, 0, -1, 0, false,
         {-12, 3, 400, true, L"微软雅黑"}},
    };
    for (const auto& c : cases) EXPECT_EQ(StaticFontFields(c.base, c.height, c.weight, c.width, c.underline), c.font) << c.name;
}

TEST(StaticText, ImagePlacement) {
    const PixelRect client{0, 0, 200, 20};
    const struct {
        const char* name;
        int w, h;
        bool right;
        int x, y;
        PixelRect text;
    } cases[] = {
        {"none", 0, 0, false, 0, 0, client},
        {"left", 16, 16, false, 3, 2, {22, 0, 200, 20}},
        {"right", 16, 16, true, 181, 2, {0, 0, 178, 20}},
        {"taller than the control", 16, 31, false, 3, -5, {22, 0, 200, 20}},
    };
    for (const auto& c : cases) {
        const auto place = PlaceStaticImage(client, 200, 20, c.w, c.h, c.right);
        EXPECT_EQ(place.imageX, c.x) << c.name;
        EXPECT_EQ(place.imageY, c.y) << c.name;
        EXPECT_EQ(place.textRect, c.text) << c.name;
    }
    EXPECT_EQ(StaticCharWidth(132), 12);
    EXPECT_EQ(StaticTextColour(false, true, 0x111111, 0x222222), 0x111111u);
    EXPECT_EQ(StaticTextColour(true, true, 0x111111, 0x222222), 0x222222u);
    EXPECT_EQ(StaticTextColour(true, false, 0x111111, 0x222222), 0x111111u);
}
