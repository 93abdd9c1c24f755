#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "tools/file_tree.h"
#include "tests/win/folder_link_win.h"
#include "tests/win/test_files_win.h"

namespace {

std::wstring Fresh(const wchar_t* name) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring folder = std::wstring(base) + name;
    DeleteTree(folder);
    return folder;
}

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    std::ofstream(path.c_str()) << "x";
    SetFileAttributesW(path.c_str(), attributes);
}

}  // namespace

TEST(FileTreeWin, CountsAndDeletesANestedTreeWithReadOnlyFiles) {
    const std::wstring root = Fresh(L"corvane-tree");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
    CreateDirectoryW((root + L"\\sub\\深").c_str(), nullptr);
    CreateDirectoryW((root + L"\\empty").c_str(), nullptr);
    MakeFile(root + L"\\a.txt");
    MakeFile(root + L"\\ro.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(root + L"\\sub\\b.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeFile(root + L"\\sub\\深\\c.sol");

    EXPECT_EQ(CountFiles(root), 4);
    EXPECT_EQ(CountFiles(root + L"\\"), 4);
    EXPECT_EQ(CountFiles(root + L"\\sub"), 2);
    EXPECT_EQ(CountFiles(root + L"\\empty"), 0);
    EXPECT_EQ(CountFiles(root + L"\\missing"), 1);
    EXPECT_EQ(CountFiles(root + L"\\a.txt"), 1);
    EXPECT_EQ(CountFiles(L""), 0);

    EXPECT_TRUE(DeleteTree(root));
    EXPECT_FALSE(Exists(root));
}

TEST(FileTreeWin, MissingEmptyAndTrailingBackslash) {
    const std::wstring root = Fresh(L"corvane-tree2");
    EXPECT_FALSE(DeleteTree(root)) << "missing";
    EXPECT_FALSE(DeleteTree(L""));
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    EXPECT_TRUE(DeleteTree(root + L"\\")) << "empty, given with a backslash";
    EXPECT_FALSE(Exists(root));
}

TEST(FileTreeWin, FileInUseStaysAndFails) {
    const std::wstring root = Fresh(L"corvane-tree3");
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    const std::wstring busy = root + L"\\busy.dat";
    MakeFile(root + L"\\free.dat");
    HANDLE held = CreateFileW(busy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SetLastError(0);
    EXPECT_FALSE(DeleteTree(root));
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_TRUE(Exists(busy));
    EXPECT_FALSE(Exists(root + L"\\free.dat"));
    CloseHandle(held);
    EXPECT_TRUE(DeleteTree(root));
}

TEST(FileTreeWin, ATreeThatIsALinkIsNotFollowed) {
    const std::wstring outside = Fresh(L"corvane-tree-outside");
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    MakeFile(outside + L"\\keep.txt");
    const std::wstring link = Fresh(L"corvane-tree-link");
    RemoveFolderLink(link);
    ASSERT_TRUE(MakeFolderLink(link, outside));
    for (const std::wstring& given : {link, link + L"\\"}) {
        SCOPED_TRACE(testing::PrintToString(given));
        DeleteTree(given);
        EXPECT_TRUE(Exists(outside + L"\\keep.txt")) << "the link's target lies outside the tree";
    }
    RemoveFolderLink(link);
    EXPECT_TRUE(DeleteTree(outside));
}
