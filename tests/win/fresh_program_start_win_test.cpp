#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app/fresh_program_start_win.h"
#include "fw/handles_win.h"
#include "tests/win/test_files_win.h"

namespace {

std::wstring SystemProgram(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

// A program held with no sharing (as a scanner reading a file just moved
// into place would) starts once it is let go; one that is not there fails
// without the pauses.
TEST(FreshProgramStart, AHeldProgramStartsOnceLetGoAndAMissingOneFailsAtOnce) {
    const std::wstring program = TempFile(L"corvane_fresh_start.exe");
    ASSERT_TRUE(CopyFileW(SystemProgram(L"cmd.exe").c_str(), program.c_str(), FALSE));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring line = L"\"" + program + L"\" /c exit 0";
    {
        fw::ScopedKernelHandle held(
            CreateFileW(program.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held.IsValid());
        std::thread release([&held] {
            Sleep(1500);
            held.Reset();
        });
        const DWORD start = GetTickCount();
        EXPECT_TRUE(StartFreshProgram(program, line, CREATE_NO_WINDOW, startup));
        EXPECT_GE(GetTickCount() - start, 900u) << "the first try cannot have started a held program";
        release.join();
    }

    const std::wstring missing = TempFile(L"corvane_no_such_program.exe");
    const DWORD start = GetTickCount();
    EXPECT_FALSE(StartFreshProgram(missing, L"\"" + missing + L"\"", CREATE_NO_WINDOW, startup));
    // Three tries would take two pauses, two seconds at least.
    EXPECT_LT(GetTickCount() - start, 1900u);
    Sleep(500);
    DeleteFileW(program.c_str());
}

}  // namespace
