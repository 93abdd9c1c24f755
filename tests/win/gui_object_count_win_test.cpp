#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/gui_object_count_win.h"

// The soak run trusts these counts to see a leak that GetGuiResources
// cannot show under Wine: a deliberate leak of 100 objects must show as 100.

namespace {

TEST(GuiObjectCount, SeesAHundredLeakedGdiObjectsOfEachKindAndTheirRelease) {
    const HDC screen = GetDC(nullptr);
    const unsigned before = CountGdiObjects();
    EXPECT_GT(before, 0u) << "stock objects count too";
    std::vector<HGDIOBJ> leaked;
    for (int i = 0; i < 25; ++i) {
        leaked.push_back(CreateSolidBrush(RGB(i, 0, 0)));
        leaked.push_back(CreatePen(PS_SOLID, 1, RGB(0, i, 0)));
        leaked.push_back(CreateCompatibleBitmap(screen, 4, 4));
        leaked.push_back(CreateRectRgn(0, 0, i + 1, i + 1));
    }
    EXPECT_EQ(CountGdiObjects(), before + 100);
    for (HGDIOBJ object : leaked) DeleteObject(object);
    EXPECT_EQ(CountGdiObjects(), before);
    ReleaseDC(nullptr, screen);
}

TEST(GuiObjectCount, SeesMenusIconsAndWindowsButNotOtherProcesses) {
    // A shared system icon stays loaded for the process, and the thread's
    // first window brings the thread's input-method window along: both come
    // before the count.
    const HICON shared = LoadIconW(nullptr, IDI_APPLICATION);
    const HWND first = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const unsigned before = CountUserObjects();
    std::vector<HMENU> menus;
    for (int i = 0; i < 60; ++i) menus.push_back(CreatePopupMenu());
    std::vector<HICON> icons;
    for (int i = 0; i < 20; ++i) icons.push_back(CopyIcon(shared));
    // Ten windows with one child each.
    std::vector<HWND> windows;
    for (int i = 0; i < 10; ++i) {
        const HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
        windows.push_back(top);
    }
    EXPECT_EQ(CountUserObjects(), before + 100);
    for (HMENU menu : menus) DestroyMenu(menu);
    for (HICON icon : icons) DestroyIcon(icon);
    for (HWND window : windows) DestroyWindow(window);
    EXPECT_EQ(CountUserObjects(), before);
    DestroyWindow(first);
}

TEST(GuiObjectCount, AnswersOnlyItsOwnMessage) {
    LRESULT result = -1;
    EXPECT_FALSE(AnswerGuiObjectCount(WM_USER, 0, &result));
    EXPECT_EQ(result, -1);
    ASSERT_TRUE(AnswerGuiObjectCount(GuiObjectCountMessage(), 0, &result));
    EXPECT_EQ(static_cast<unsigned>(result), CountGdiObjects());
}

}  // namespace
