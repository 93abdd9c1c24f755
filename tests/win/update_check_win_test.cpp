#include <windows.h>

#include <gtest/gtest.h>

#include "net/update_check_win.h"

// This program's block carries ClientVersion 3.0.0.1 and the expected tag
// 0123456789ABCDEF0123456789AB3001 (see tests/win/net.cmake).

TEST(UpdateCheckWin, WrongTagAsksForTheUpdateWithThisProgramsDigest) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring digested;
    const int answer = CheckUpdate([&](const std::wstring& path) -> std::optional<std::wstring> {
        digested = path;
        return std::wstring(L"ffffffffffffffffffffffffffffffff");
    });
    EXPECT_NE(answer, 0);
    EXPECT_EQ(digested, self);
}

TEST(UpdateCheckWin, MatchingTagAnswersZero) {
    EXPECT_EQ(CheckUpdate([](const std::wstring&) -> std::optional<std::wstring> {
                  return std::wstring(L"0123456789abcdef0123456789abcdef");
              }),
              0);
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
