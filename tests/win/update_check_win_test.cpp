#include <windows.h>

#include <gtest/gtest.h>

#include <shellapi.h>

#include <fstream>
#include <iterator>

#include "app/ctrl_block.h"
#include "net/md5.h"
#include "net/update_check.h"
#include "net/update_check_win.h"

namespace {

constexpr wchar_t kArgsRecordVariable[] = L"CORVANE_TEST_ARGS_RECORD";

// Written whole and then renamed, so that a reader never sees half of it.
void WriteRecord(const std::wstring& path, const std::wstring& text) {
    const std::wstring part = path + L".part";
    {
        std::ofstream out(part.c_str(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * sizeof(wchar_t)));
    }
    MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::wstring ReadRecord(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// Runs before any test: a copy of this program started by the update
// restart writes its arguments, one a line, and ends.
[[maybe_unused]] const bool g_echoed = [] {
    wchar_t record[MAX_PATH];
    if (GetEnvironmentVariableW(kArgsRecordVariable, record, MAX_PATH) == 0) return false;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring text;
    for (int i = 0; args != nullptr && i < count; ++i) text += std::wstring(args[i]) + L"\n";
    LocalFree(args);
    WriteRecord(record, text);
    ExitProcess(0);
}();

}  // namespace

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
    wchar_t self[MAX_PATH], temp[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"corvane update dir";
    const std::wstring program = folder + L"\\corvane.exe";
    const std::wstring record = std::wstring(temp) + L"corvane-update-args.txt";
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW(record.c_str());
    // This test program stands in for the client: started with the variable
    // set, it writes down its arguments and ends (EchoArgumentsWhenAsked).
    ASSERT_TRUE(CopyFileW(self, program.c_str(), FALSE));
    SetEnvironmentVariableW(kArgsRecordVariable, record.c_str());
    EXPECT_TRUE(StartUpdateProcess(program));
    SetEnvironmentVariableW(kArgsRecordVariable, nullptr);
    EXPECT_FALSE(StartUpdateProcess(folder + L"\\missing.exe"));

    std::wstring args;
    for (int wait = 0; wait < 200 && args.empty(); ++wait) {
        Sleep(50);
        args = ReadRecord(record);
    }
    EXPECT_EQ(args, program + L"\n/update\n");
    DeleteFileW(record.c_str());
    for (int wait = 0; wait < 100 && !DeleteFileW(program.c_str()); ++wait) Sleep(50);
    RemoveDirectoryW(folder.c_str());
}
