#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "app/ctrl_block.h"
#include "net/md5.h"
#include "net/update_check.h"
#include "net/update_check_win.h"

// This program's block carries ClientVersion 3.0.0.1 and the expected tag
// 0123456789ABCDEF0123456789AB3001 (see tests/win/net.cmake), which no build
// of this program digests to.

TEST(UpdateCheckWin, ThisProgramsDigestDecides) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::optional<std::wstring> digest = Md5File(self);
    ASSERT_TRUE(digest.has_value());
    const std::wstring ownTag = VersionTag(*digest, L"3.0.0.1");
    ASSERT_NE(ownTag, L"0123456789abcdef0123456789ab3001");
    EXPECT_NE(CheckUpdate(TheCtrlBlock().ExpectedTag(), TheCtrlBlock().ClientVersion()), 0);
    EXPECT_EQ(CheckUpdateTag(ownTag, self, L"3.0.0.1"), 0);
}

TEST(UpdateCheckWin, KnownFileUnderAWidePath) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"\u66F4\u65B0";  // a path beyond ASCII
    const std::wstring program = folder + L"\\\u5BA2\u6237.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    {
        std::ofstream out(program.c_str(), std::ios::binary);
        out << "abc";
    }
    // MD5("abc") is 900150983cd24fb0d6963f7d28e17f72 (RFC 1321).
    EXPECT_EQ(CheckUpdateTag(L"900150983CD24FB0D6963F7D28E13001", program, L"3.0.0.1"), 0);
    EXPECT_NE(CheckUpdateTag(L"900150983CD24FB0D6963F7D28E13002", program, L"3.0.0.1"), 0);
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
    EXPECT_NE(CheckUpdateTag(L"900150983CD24FB0D6963F7D28E13001", program, L"3.0.0.1"), 0) << "gone";
}

TEST(UpdateCheckWin, StartsTheUpdateProcessFromAPathWithBlanks) {
    wchar_t system[MAX_PATH], temp[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"corvane update dir";
    const std::wstring program = folder + L"\\corvane.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    // Any small program stands in for the client: it is only started.
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\hostname.exe").c_str(), program.c_str(), FALSE));
    EXPECT_TRUE(StartUpdateProcess(program));
    EXPECT_FALSE(StartUpdateProcess(folder + L"\\missing.exe"));
    Sleep(200);
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
}
