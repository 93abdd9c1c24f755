#include <gtest/gtest.h>

#include <cstdint>

#include "browser/page_label.h"
#include "browser/press_throttle.h"
#include "browser/tab_strip.h"

namespace {

using tabs::Rect;

TEST(TabStrip, RectanglesFollowTheTabIndex) {
    struct Case {
        int index;
        Rect tab, close, text;
    } cases[] = {
        {0, {130, 3, 306, 25}, {283, 8, 297, 22}, {151, 8, 283, 22}},
        {2, {482, 3, 658, 25}, {635, 8, 649, 22}, {503, 8, 635, 22}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tabs::TabRect(c.index), c.tab) << c.index;
        EXPECT_EQ(tabs::CloseButtonRect(c.index), c.close) << c.index;
        EXPECT_EQ(tabs::TabTextRect(c.index), c.text) << c.index;
    }
    EXPECT_EQ(tabs::NewPageButtonRect(3), (Rect{658, 5, 686, 21}));
    EXPECT_EQ(tabs::StripRect(2), (Rect{130, 3, 482, 25}));
    EXPECT_EQ(tabs::StripRectAfterClose(1), (Rect{130, 3, 482, 25}));
    EXPECT_EQ(tabs::PageArea({0, 0, 1024, 768}), (Rect{4, 65, 1020, 764}));
    EXPECT_EQ(tabs::MinimumFrameSize(3).cx, 968);
    EXPECT_EQ(tabs::MinimumFrameSize(1).cy, 260);
}

TEST(TabStrip, HitTestsAtTheEdges) {
    struct Case {
        int x, y, count;
        int tab;  // -1: outside the strip
    } cases[] = {
        {130, 10, 3, -1},  // the left edge itself is outside
        {131, 10, 3, 0},   {305, 3, 3, 0},   {306, 24, 3, 1},  {657, 10, 3, 2},
        {658, 10, 3, -1},  // where the "+" button starts
        {200, 2, 3, -1},   {200, 25, 3, -1}, {200, 10, 0, -1}, {400, 10, 1, -1},
    };
    for (const Case& c : cases) {
        const std::optional<int> tab = tabs::TabAt(c.x, c.y, c.count);
        EXPECT_EQ(tab.value_or(-1), c.tab) << c.x << "," << c.y << " of " << c.count;
    }
}

TEST(TabStrip, CloseButtonHoverPressAndRelease) {
    struct Case {
        int tab, x, y;
        int hoverUp, hoverDown;  // state with the left button up and down
        bool press, release;
    } cases[] = {
        {0, 283, 8, 1, 2, false, true},   // top row hovers and releases but does not press
        {0, 283, 9, 1, 2, true, true},    {0, 296, 21, 1, 2, true, true},
        {0, 297, 15, 0, 0, false, false},  // right edge is outside
        {0, 282, 15, 0, 0, false, false}, {0, 290, 22, 0, 0, false, false},
        {0, 290, 7, 0, 0, false, false},  {1, 460, 15, 1, 2, true, true},
        {1, 290, 15, 0, 0, false, false},  // tab 0's button is not tab 1's
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tabs::CloseButtonState(c.tab, c.x, c.y, false), c.hoverUp) << c.tab << ":" << c.x << "," << c.y;
        EXPECT_EQ(tabs::CloseButtonState(c.tab, c.x, c.y, true), c.hoverDown) << c.tab << ":" << c.x << "," << c.y;
        EXPECT_EQ(tabs::PressOnCloseButton(c.tab, c.x, c.y), c.press) << c.tab << ":" << c.x << "," << c.y;
        EXPECT_EQ(tabs::ReleaseOnCloseButton(c.tab, c.x, c.y), c.release) << c.tab << ":" << c.x << "," << c.y;
    }
    EXPECT_EQ(tabs::TabImageFrame(1, 1, 1), 2);
    EXPECT_EQ(tabs::TabImageFrame(0, 1, 0), 1);
    EXPECT_EQ(tabs::TabImageFrame(2, 1, -1), 0);
}

TEST(TabStrip, ControlsFollowTheWidthAndThePageCount) {
    const auto layout = tabs::ControlLayout(1000, 2);
    struct Case {
        int id, x, y, cx, cy;
    } expected[] = {
        {1003, 883, 0, 29, 25},  {1001, 830, 0, 53, 25},  {1002, 10, 36, 56, 23}, {1027, 66, 36, 57, 23},
        {1028, 123, 36, 63, 23}, {1029, 925, 36, 60, 23}, {1030, 865, 36, 60, 23}, {1031, 805, 36, 60, 23},
        {1032, 745, 36, 60, 23}, {1033, 640, 40, 100, 16}, {1026, 482, 5, 28, 16},
    };
    ASSERT_EQ(std::size(expected), layout.size());
    for (size_t i = 0; i < layout.size(); ++i) {
        EXPECT_EQ(layout[i].id, expected[i].id);
        EXPECT_EQ(layout[i].x, expected[i].x) << layout[i].id;
        EXPECT_EQ(layout[i].y, expected[i].y) << layout[i].id;
        EXPECT_EQ(layout[i].cx, expected[i].cx) << layout[i].id;
        EXPECT_EQ(layout[i].cy, expected[i].cy) << layout[i].id;
    }
}

TEST(PageLabel, PartsAndCuts) {
    struct Case {
        const wchar_t* label;
        const wchar_t* account;
        const wchar_t* server;
    } cases[] = {
        {L"12服-一区-abc", L"abc", L"12"},
        {L"双线3服-电信-a-b", L"b", L"双线3"},
        {L"no-server", L"server", L""},
        {L"plain", L"plain", L""},
        {L"7服-x-", L"", L"7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AccountOfLabel(c.label), c.account) << c.label;
        EXPECT_EQ(ServerOfLabel(c.label), c.server) << c.label;
    }

    struct Cut {
        const wchar_t* text;
        const wchar_t* shown;
    } accounts[] = {
        {L"elevenchars", L"elevenchars"},
        {L"twelve_chars", L"twelve_c..."},
        {L"账号名称很长的一个用户名", L"账号名称很长的一..."},
    };
    for (const Cut& c : accounts) EXPECT_EQ(AccountLabelText(c.text), c.shown) << c.text;

    EXPECT_EQ(TabTitleText(L"12服-一区-abc", 145), L"12服-一区-abc");
    EXPECT_EQ(TabTitleText(L"123服-双线一区-account_name", 146), L"123服-双线一区-acco...");
    if constexpr (sizeof(wchar_t) == 2) {
        // A cut that would split a surrogate pair keeps the pair whole.
        const std::wstring text = std::wstring(7, L'a') + L"\xD83D\xDE00" + L"bcdef";
        EXPECT_EQ(AccountLabelText(text), std::wstring(7, L'a') + L"...");
    }
}

TEST(PressThrottle, AcceptsOncePerIntervalAcrossTheTickWrap) {
    struct Case {
        uint32_t now;
        bool accepted;
    };
    const Case steps[] = {
        {0xFFFFF000u, true},   // the first press, just before the wrap
        {0xFFFFF5DCu, false},  // 1500 ms later: not more than the interval
        {0x00000100u, true},   // 4352 ms later, after the wrap
        {0x00000500u, false},  {0x000006DDu, true},
    };
    CPressThrottle throttle(1500);
    for (const Case& c : steps) EXPECT_EQ(throttle.Accept(c.now), c.accepted) << std::hex << c.now;
    CPressThrottle fresh(1500);
    EXPECT_TRUE(fresh.Accept(0));
}

}  // namespace
