#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/crash_dump_win.h"
#include "app/ini_win.h"
#include "tests/win/test_files_win.h"

namespace {

bool IsMinidump(const std::wstring& path) {
    const std::string bytes = ReadAll(path);
    return bytes.size() > 32 && bytes.compare(0, 4, "MDMP") == 0;
}

void WriteText(const std::wstring& path, const char* text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(file);
}

// A dump in the temporary folder, for a dumper of its own.
struct DumperCase {
    std::wstring dump = TempFile(L"crash_case.dmp");
};

// Stands in for DbgHelp, whose real dumps the crashing program's test
// checks; this one can play a second crash inside the writer.
CCrashDumper* g_reentered = nullptr;
LONG g_innerResult = -1;
int g_writes = 0;

bool MarkingWriter(HANDLE file, EXCEPTION_POINTERS* pointers) {
    ++g_writes;
    if (g_reentered != nullptr) g_innerResult = g_reentered->Filter(pointers);
    DWORD written = 0;
    return WriteFile(file, "dump", 4, &written, nullptr) != FALSE;
}

TEST(CrashDumpWinTest, OnlyTheFirstCrashWritesAndLaterOnesEndAtOnce) {
    const struct {
        const char* what;
        bool crashInsideWriter;
    } cases[] = {{"second crash after the dump", false}, {"second crash while writing", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DumperCase files;
        WriteText(files.dump, "an older dump");
        CCrashDumper dumper(files.dump, &MarkingWriter);
        g_reentered = c.crashInsideWriter ? &dumper : nullptr;
        g_writes = 0;
        g_innerResult = -1;
        EXPECT_EQ(dumper.Filter(nullptr), EXCEPTION_CONTINUE_SEARCH);
        EXPECT_EQ(ReadAll(files.dump), "dump");
        if (c.crashInsideWriter) {
            EXPECT_EQ(g_innerResult, EXCEPTION_EXECUTE_HANDLER);
        }
        EXPECT_EQ(dumper.Filter(nullptr), EXCEPTION_EXECUTE_HANDLER);
        EXPECT_EQ(g_writes, 1);
    }
    g_reentered = nullptr;
}

// A writer that takes its time, so that another thread crashes meanwhile.
HANDLE g_writing = nullptr;
DWORD g_writeEnded = 0;

bool SlowWriter(HANDLE file, EXCEPTION_POINTERS*) {
    SetEvent(g_writing);
    Sleep(1500);
    DWORD written = 0;
    const bool ok = WriteFile(file, "slow dump", 9, &written, nullptr) != FALSE;
    g_writeEnded = GetTickCount();
    return ok;
}

TEST(CrashDumpWinTest, AnotherThreadCrashingMeanwhileWaitsForTheDump) {
    DumperCase files;
    g_writing = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CCrashDumper dumper(files.dump, &SlowWriter);
    struct Second {
        CCrashDumper* dumper;
        LONG result = -1;
        DWORD returned = 0;
    } second{&dumper};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* s = static_cast<Second*>(p);
            WaitForSingleObject(g_writing, INFINITE);
            s->result = s->dumper->Filter(nullptr);
            s->returned = GetTickCount();
            return 0;
        },
        &second, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(dumper.Filter(nullptr), EXCEPTION_CONTINUE_SEARCH);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(g_writing);
    EXPECT_EQ(second.result, EXCEPTION_EXECUTE_HANDLER);
    // Not before the dump was written and closed.
    EXPECT_GE(static_cast<LONG>(second.returned - g_writeEnded), 0);
    EXPECT_EQ(ReadAll(files.dump), "slow dump");
}

TEST(CrashDumpWinTest, ACrashingProgramLeavesItsDumpInTheUsersOwnFolder) {
    const std::wstring self = ModulePath();
    const std::wstring child = self.substr(0, self.find_last_of(L'\\') + 1) + L"crash_child.exe";
    const std::wstring dump = CrashDumpFolder() + L"\\crash_child.dmp";
    ASSERT_GT(dump.size(), std::wstring(L"\\crash_child.dmp").size());
    WriteText(dump, "an older dump");

    // Wine's debugger would otherwise stop at a crash dialog.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const DWORD no = 0;
    RegSetValueExW(key, L"ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&no), sizeof no);
    RegCloseKey(key);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + child + L"\"";
    ASSERT_TRUE(CreateProcessW(child.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_TRUE(IsMinidump(dump));
    // Nothing beside the program, where other users could read it.
    EXPECT_EQ(GetFileAttributesW((self.substr(0, self.find_last_of(L'\\') + 1) + L"crash_child.dmp").c_str()),
              INVALID_FILE_ATTRIBUTES);
    DeleteFileW(dump.c_str());
}

}  // namespace
