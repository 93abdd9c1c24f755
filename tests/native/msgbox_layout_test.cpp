#include <gtest/gtest.h>

#include "ui/box_placement.h"
#include "ui/msgbox_layout.h"

using namespace ui;

namespace {

// The usual button strip: four frames of 57 x 23.
constexpr int kStripW = 228;
constexpr int kStripH = 23;

}  // namespace

TEST(MsgBoxLayout, LineCountIsOnePlusLineFeeds) {
    const struct {
        std::wstring_view text;
        int lines;
    } cases[] = {
        {L"", 1}, {L"网络连接失败", 1}, {L"a\nb", 2}, {L"第一行\r\n第二行\r\n", 3}, {L"a\rb", 1}, {L"\n\n", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(MsgBoxLineCount(c.text), c.lines) << testing::PrintToString(std::wstring(c.text));
}

TEST(MsgBoxLayout, WindowSizeFollowsTextButNeverNarrowerThanTwoButtons) {
    const struct {
        const char* name;
        int w, h, lines, stripW, stripH;
        MsgBoxSize size;
    } cases[] = {
        {"one-line notice", 60, 16, 1, kStripW, kStripH, {174, 3 + 16 + 23 + 90}},
        {"text as wide as the button pair", 114, 16, 1, kStripW, kStripH, {174, 132}},
        // The text only decides the width once it is wider than pair + margin.
        {"text of exactly 174", 174, 16, 1, kStripW, kStripH, {174, 132}},
        {"text of 175", 175, 16, 1, kStripW, kStripH, {235, 132}},
        {"long three-line text", 400, 48, 3, kStripW, kStripH, {460, 9 + 48 + 23 + 90}},
        {"strip width not a multiple of four", 0, 16, 1, 230, 23, {174, 132}},
        {"no strip loaded", 10, 16, 1, 0, 0, {60, 3 + 16 + 90}},
        {"failed measurement", -5, -7, 1, kStripW, kStripH, {174, 3 + 23 + 90}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MsgBoxWindowSize(c.w, c.h, c.lines, c.stripW, c.stripH), c.size) << c.name;
    }
}

TEST(MsgBoxLayout, WindowSizeSaturatesInsteadOfWrapping) {
    const MsgBoxSize size = MsgBoxWindowSize(INT32_MAX - 10, INT32_MAX - 10, INT32_MAX, kStripW, kStripH);
    EXPECT_EQ(size.width, INT32_MAX);
    EXPECT_EQ(size.height, INT32_MAX);
}

TEST(MsgBoxLayout, ButtonsPerStyle) {
    struct Expected {
        int id;
        std::wstring_view label;
        PixelRect rect;
    };
    const struct {
        const char* name;
        int style, clientW, clientH;
        std::vector<Expected> buttons;
    } cases[] = {
        {"ok", kMsgBoxOk, 174, 132, {{5000, L"确定", {58, 79, 115, 102}}}},
        {"ok, odd width", kMsgBoxOk, 175, 132, {{5000, L"确定", {59, 79, 116, 102}}}},
        {"ok-cancel", kMsgBoxOkCancel, 174, 132,
         {{5000, L"确定", {20, 79, 77, 102}}, {5001, L"取消", {97, 79, 154, 102}}}},
        {"yes-no", kMsgBoxYesNo, 174, 132, {{5000, L"是", {20, 79, 77, 102}}, {5001, L"否", {97, 79, 154, 102}}}},
        {"yes-no, odd width", kMsgBoxYesNo, 461, 170,
         {{5000, L"是", {163, 117, 220, 140}}, {5001, L"否", {240, 117, 297, 140}}}},
        {"other styles behave as ok", 2, 174, 132, {{5000, L"确定", {58, 79, 115, 102}}}},
        {"other styles behave as ok", 3, 174, 132, {{5000, L"确定", {58, 79, 115, 102}}}},
        {"other styles behave as ok", -1, 174, 132, {{5000, L"确定", {58, 79, 115, 102}}}},
        // Signed halves truncate toward zero: (50 - 57) / 2 is -3, not -4.
        {"client narrower than a button", kMsgBoxOk, 50, 60, {{5000, L"确定", {-3, 7, 54, 30}}}},
        {"negative client width", kMsgBoxYesNo, -3, 60,
         {{5000, L"是", {-68, 7, -11, 30}}, {5001, L"否", {9, 7, 66, 30}}}},
    };
    for (const auto& c : cases) {
        const auto buttons = MsgBoxButtons(c.style, c.clientW, c.clientH, kStripW, kStripH);
        ASSERT_EQ(buttons.size(), c.buttons.size()) << c.name;
        for (size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i].id, c.buttons[i].id) << c.name << " #" << i;
            EXPECT_EQ(buttons[i].label, c.buttons[i].label) << c.name << " #" << i;
            EXPECT_EQ(buttons[i].rect, c.buttons[i].rect) << c.name << " #" << i;
        }
    }
}

TEST(MsgBoxLayout, ButtonsOfTheComputedWindowStayInside) {
    // A one-line notice: its buttons fit between the borders of the box
    // sized for it, and sit below the text.
    for (int style : {kMsgBoxOk, kMsgBoxOkCancel, kMsgBoxYesNo}) {
        const MsgBoxSize size = MsgBoxWindowSize(60, 16, 1, kStripW, kStripH);
        for (const auto& button : MsgBoxButtons(style, size.width, size.height, kStripW, kStripH)) {
            EXPECT_GE(button.rect.left, kMsgBoxBorder) << style;
            EXPECT_LE(button.rect.right, size.width - kMsgBoxBorder) << style;
            EXPECT_GE(button.rect.top, kMsgBoxTextTop + 16) << style;
            EXPECT_EQ(button.rect.Width(), 57) << style;
            EXPECT_EQ(button.rect.Height(), 23) << style;
        }
    }
}

TEST(MsgBoxLayout, TextLinesAreCentredBlockOfLeftAlignedLines) {
    const std::wstring text = L"第一行\r\n第二行\n三";
    const auto lines = MsgBoxTextLines(text, 300, 120, 48);
    ASSERT_EQ(lines.size(), 3u);
    const struct {
        std::wstring_view text;
        PixelRect rect;
    } expected[] = {
        {L"第一行", {90, 55, 210, 71}},
        {L"第二行", {90, 74, 210, 90}},
        {L"三", {90, 93, 210, 109}},
    };
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[i].text, expected[i].text) << i;
        EXPECT_EQ(lines[i].rect, expected[i].rect) << i;
    }
}

TEST(MsgBoxLayout, TextLinesEdgeCases) {
    // Odd free space rounds toward zero; a text wider than the client starts left of it.
    EXPECT_EQ(MsgBoxTextLines(L"x", 301, 120, 16)[0].rect, (PixelRect{90, 55, 210, 71}));
    EXPECT_EQ(MsgBoxTextLines(L"x", 100, 121, 16)[0].rect, (PixelRect{-10, 55, 111, 71}));

    const auto empty = MsgBoxTextLines(L"", 174, 0, 16);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_TRUE(empty[0].text.empty());

    // A trailing line feed makes an empty last line, one line gap lower.
    const auto trailing = MsgBoxTextLines(L"a\n", 174, 10, 32);
    ASSERT_EQ(trailing.size(), 2u);
    EXPECT_TRUE(trailing[1].text.empty());
    EXPECT_EQ(trailing[1].rect.top, 55 + 16 + 3);
}

TEST(MsgBoxLayout, CommandResults) {
    const struct {
        int style, id, result;
    } cases[] = {
        {kMsgBoxYesNo, 5000, kMsgBoxIdYes},     {kMsgBoxYesNo, 5001, kMsgBoxIdNo},
        {kMsgBoxOkCancel, 5000, kMsgBoxIdOk},   {kMsgBoxOkCancel, 5001, kMsgBoxIdCancel},
        {kMsgBoxOk, 5000, kMsgBoxIdOk},         {kMsgBoxOk, 5001, kMsgBoxIdCancel},
        {7, 5000, kMsgBoxIdOk},                 {kMsgBoxYesNo, 50000, 0},
        {kMsgBoxOk, 1, 0},                      {kMsgBoxYesNo, 2, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(MsgBoxCommandResult(c.style, c.id), c.result) << c.style << "/" << c.id;
    EXPECT_EQ(kMsgBoxIdYes, 6);
    EXPECT_EQ(kMsgBoxIdNo, 7);
    EXPECT_EQ(kMsgBoxCloseResult, 2);
}

TEST(MsgBoxLayout, BoxesOpenOverTheirOwnerWholeOnItsWorkArea) {
    // A 1920 x 1040 work area below a 40-pixel taskbar at the top; boxes of 200 x 140.
    const PixelRect work{0, 40, 1920, 1080};
    const struct {
        const char* name;
        std::optional<PixelRect> owner;
        PixelRect work;
        int w, h;
        PixelRect placed;
    } cases[] = {
        {"centred on a login window", PixelRect{397, 192, 1522, 888}, work, 200, 140, {859, 470, 1059, 610}},
        {"owner hanging off the top left", PixelRect{-600, -400, 200, 200}, work, 200, 140, {0, 40, 200, 180}},
        {"owner hanging off the bottom right", PixelRect{1800, 1000, 2600, 1600}, work, 200, 140,
         {1720, 940, 1920, 1080}},
        // The frame at its login face: a pixel at the origin.
        {"a one-pixel owner", PixelRect{0, 0, 1, 1}, work, 200, 140, {860, 490, 1060, 630}},
        {"a two-by-one owner", PixelRect{0, 0, 2, 1}, work, 200, 140, {860, 490, 1060, 630}},
        {"no owner", std::nullopt, work, 200, 140, {860, 490, 1060, 630}},
        {"a second monitor left of the first", PixelRect{-1500, 100, -300, 800}, PixelRect{-1600, 0, 0, 1040},
         200, 140, {-1000, 380, -800, 520}},
        {"a box larger than the work area", PixelRect{0, 40, 1920, 1080}, PixelRect{0, 0, 640, 480}, 800, 600,
         {0, 0, 800, 600}},
        {"a failed size", PixelRect{100, 100, 300, 300}, work, -5, -5, {200, 200, 200, 200}},
    };
    for (const auto& c : cases) EXPECT_EQ(BoxPlacement(c.w, c.h, c.owner, c.work), c.placed) << c.name;
}
