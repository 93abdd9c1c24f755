#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/win/test_files_win.h"
#include "tools/fav_dlg_win.h"
#include "tools/favourite_file_win.h"
#include "tools/file_tree.h"
#include "tools/shell_folder_win.h"

namespace {

std::string Expected(const std::string& url) {
    return "[DEFAULT]\r\nBASEURL=" + url + "\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
           "[InternetShortcut]\r\nURL=" + url + "\r\nIDList=\r\n";
}

std::string Times(const std::string& text, int count) {
    std::string out;
    while (count-- > 0) out += text;
    return out;
}

std::wstring FreshFolder() {
    const std::wstring folder = TempFile(L"corvane-favourites");
    DeleteTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

int EntriesIn(const std::wstring& folder) {
    int count = 0;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (lstrcmpW(found.cFileName, L".") != 0 && lstrcmpW(found.cFileName, L"..") != 0) ++count;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

}  // namespace

TEST(FavouritesWin, FileHoldsTheExactBytesInTheAnsiCodePage) {
    struct Case {
        std::wstring url;
        std::string bytes;
    } cases[] = {
        {L"http://g.example/play?s=1&a=b", Expected("http://g.example/play?s=1&a=b")},
        {L"http://g.example/张", Expected("http://g.example/\xD5\xC5")},  // code page 936
        // Two bytes per character: cut at 511 bytes rather than inside one.
        {std::wstring(300, L'张'), "[DEFAULT]\r\nBASEURL=" + Times("\xD5\xC5", 246)},
    };
    const std::wstring folder = FreshFolder();
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFavouriteFile(folder, L"游戏", c.url));
        EXPECT_EQ(ReadAll(folder + L"\\游戏.url"), c.bytes) << testing::PrintToString(c.url);
        EXPECT_EQ(EntriesIn(folder), 1) << "no temporary left behind";
    }
    DeleteTree(folder);
}

TEST(FavouritesWin, NamesThatAreNotFileNamesWriteNothing) {
    const std::wstring folder = FreshFolder();
    const std::wstring inner = folder + L"\\inner";
    CreateDirectoryW(inner.c_str(), nullptr);
    // The name rules have their own table; these show the writer applies them.
    for (const wchar_t* name : {L"..\\x", L"NUL"})
        EXPECT_FALSE(WriteFavouriteFile(inner, name, L"http://g.example/")) << testing::PrintToString(name);
    EXPECT_EQ(EntriesIn(inner), 0);
    EXPECT_EQ(EntriesIn(folder), 1) << "nothing beside the favourites folder either";
    EXPECT_FALSE(WriteFavouriteFile(folder + L"\\missing", L"x", L"http://g.example/"));
    DeleteTree(folder);
}

namespace {

// Drives the modal dialog from a timer on its own thread, as a user would:
// reads the name it shows, types a new one and presses a button.
struct DialogScript {
    std::wstring typed;
    UINT button = IDOK;
    std::wstring shown;
    bool ran = false;
};
DialogScript* g_script = nullptr;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(nullptr, L"添加收藏");
    if (dialog == nullptr || g_script->ran) return;
    KillTimer(nullptr, id);
    g_script->ran = true;
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, IDC_FAVOURITE_NAME, text, 256);
    g_script->shown = text;
    SetDlgItemTextW(dialog, IDC_FAVOURITE_NAME, g_script->typed.c_str());
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_script->button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, g_script->button)));
}

INT_PTR RunDialog(DialogScript& script, const std::wstring& name, const std::wstring& url) {
    g_script = &script;
    SetTimer(nullptr, 0, 20, &DriveDialog);
    CFavDlg dialog(name, url, nullptr);
    return dialog.DoModal();
}

}  // namespace

TEST(FavouritesWin, DialogSavesTheTypedNameAndCancelSavesNothing) {
    const std::wstring favourites = ShellFolderPath(CSIDL_FAVORITES);
    ASSERT_FALSE(favourites.empty());
    const std::wstring saved = favourites + L"\\我的游戏.url";
    const std::wstring cancelled = favourites + L"\\取消的.url";
    DeleteFileW(saved.c_str());
    DeleteFileW(cancelled.c_str());

    DialogScript ok{L"我的游戏", IDOK, L"", false};
    EXPECT_EQ(RunDialog(ok, L"梦幻大陆 1服", L"http://g.example/s1"), IDOK);
    EXPECT_EQ(ok.shown, L"梦幻大陆 1服");
    EXPECT_EQ(ReadAll(saved), Expected("http://g.example/s1"));

    DialogScript cancel{L"取消的", IDCANCEL, L"", false};
    EXPECT_EQ(RunDialog(cancel, L"x", L"http://g.example/s2"), IDCANCEL);
    EXPECT_TRUE(cancel.ran);
    EXPECT_FALSE(Exists(cancelled));

    DeleteFileW(saved.c_str());
}
