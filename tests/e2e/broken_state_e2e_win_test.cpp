#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/settings_store_win.h"
#include "tests/e2e/client_run_win.h"
#include "tests/win/loopback_server_win.h"
#include "tools/file_tree.h"

// Starts that meet broken state: a damaged or hostile settings file, an
// install folder that cannot be used, odd program paths, no temporary
// folder, a system date past 2038 or before 2000. Each row sets its state
// up in the one prefix, starts the client once per start mode it concerns,
// and expects the login face (or the end of a first run) with exit code 0,
// no crash dump, and every value the start wrote reading back as what it
// means.

namespace {

constexpr wchar_t kSection[] = L"E2eFault";

std::wstring InstallFolder() { return CommonAppDataFolder() + L"\\7251\\GameLogin"; }
std::wstring SettingsFile() { return SettingsFilePath(); }

std::wstring Read(const wchar_t* key) {
    wchar_t value[64] = {};
    GetPrivateProfileStringW(kSection, key, L"<absent>", value, 64, SettingsFile().c_str());
    return value;
}

bool IsDecimal(const std::wstring& text) {
    return !text.empty() && text.size() < 11 && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

std::wstring Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return std::to_wstring(now.wYear) + L"/" + std::to_wstring(now.wMonth) + L"/" + std::to_wstring(now.wDay);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Utf16NoBom(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// The clock file that wine-run's CORVANE_FAKE_CLOCK gives the processes this
// program starts (a Unix path, reached through drive Z:); empty without one.
std::wstring ClockFile() {
    wchar_t unixPath[MAX_PATH] = {};
    const DWORD size = GetEnvironmentVariableW(L"FAKETIME_TIMESTAMP_FILE", unixPath, MAX_PATH);
    if (size == 0 || size >= MAX_PATH || unixPath[0] != L'/') return {};
    std::wstring path = L"Z:" + std::wstring(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::string SectionText(const std::string& body) { return "[E2eFault]\r\n" + body; }

enum class Mode { Installed, Web, FirstRun };
const char* Name(Mode mode) {
    switch (mode) {
        case Mode::Installed: return "installed";
        case Mode::Web: return "web";
        default: return "first run";
    }
}

struct Row {
    const char* name;
    std::vector<Mode> modes;
    // Makes the row's state; the settings file is gone beforehand.
    std::function<void()> make;
    // Whether the settings file takes writes in this state.
    bool writable = true;
    // Where the program lies when it starts from outside the install folder.
    std::wstring elsewhere = {};
    // The system date the client starts at ("@YYYY-MM-DD hh:mm:ss", the
    // clock file's form) and that date as the settings file stores it.
    const char* clock = nullptr;
    const wchar_t* clockDay = nullptr;
};

class BrokenStateEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_image.Loaded());
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_temp = temp;
    }
    void TearDown() override { Reset(); }

    // Back to a prefix without the client's state.
    void Reset() {
        SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesW(InstallFolder().c_str(), FILE_ATTRIBUTE_NORMAL);
        const DWORD settings = GetFileAttributesW(SettingsFile().c_str());
        if (settings != INVALID_FILE_ATTRIBUTES && (settings & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveDirectoryW(SettingsFile().c_str());
        }
        DeleteFileW(SettingsFile().c_str());
        DeleteFileW(InstallFolder().c_str());
        DeleteTree(InstallFolder());
        for (const std::wstring& made : m_made) {
            DeleteFileW(made.c_str());
            DeleteFileW((made.substr(0, made.size() - 4) + L".dmp").c_str());
        }
        m_made.clear();
        SHCreateDirectoryExW(nullptr, InstallFolder().c_str(), nullptr);
    }

    std::wstring MakeClient(const std::wstring& path, SlotValues slots = {}) {
        SHCreateDirectoryExW(nullptr, FolderOf(path).c_str(), nullptr);
        const SlotValues loopback = LoopbackSlots(m_server.HostPort(), Narrow(kSection));
        slots.insert(slots.begin(), loopback.begin(), loopback.end());
        EXPECT_TRUE(m_image.Write(path, slots)) << Narrow(path);
        m_made.push_back(path);
        return path;
    }

    void Start(const Row& row, Mode mode);
    void RunRows(const std::vector<Row>& rows);

    CWinLoopbackServer m_server;
    CClientImage m_image;
    std::wstring m_temp;
    std::vector<std::wstring> m_made;
};

void BrokenStateEndToEnd::Start(const Row& row, Mode mode) {
    SCOPED_TRACE(std::string(row.name) + ", " + Name(mode));
    std::wstring client;
    std::wstring args;
    const std::wstring elsewhere = row.elsewhere.empty() ? m_temp + L"corvane_fault\\Doln2.exe" : row.elsewhere;
    switch (mode) {
        case Mode::Installed: client = MakeClient(InstallFolder() + L"\\E2eFault.exe"); break;
        case Mode::Web:
            client = MakeClient(row.elsewhere.empty() ? InstallFolder() + L"\\E2eFault.exe" : elsewhere);
            args = L"/web7251D";
            break;
        case Mode::FirstRun:
            // Flag 3 off: no installed copy starts after the install.
            client = MakeClient(elsewhere, {{"BuildFlags", "0x146"}});
            m_made.push_back(InstallFolder() + L"\\" + client.substr(client.find_last_of(L'\\') + 1));
            break;
    }
    if (client.empty() || GetFileAttributesW(client.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ADD_FAILURE() << "no client at " << Narrow(client);
        return;
    }
    const std::wstring clockFile = ClockFile();
    if (row.clock != nullptr) {
        ASSERT_FALSE(clockFile.empty()) << "a system date needs wine-run's CORVANE_FAKE_CLOCK";
        WriteBytes(clockFile, std::string(row.clock) + "\n");
    }
    const RunResult run = RunClient(client, args, Answering([](const BoxSeen&) { return IDOK; }));
    if (row.clock != nullptr) {
        WriteBytes(clockFile, "+0\n");
        // This program's own clock comes back within libfaketime's cache time.
        Sleep(1500);
    }
    EXPECT_TRUE(run.ended) << "start error " << run.startError;
    EXPECT_EQ(run.exitCode, 0u);
    if (mode != Mode::FirstRun) {
        EXPECT_TRUE(run.sawLoginFace);
    }
    const std::wstring dump = client.substr(0, client.size() - 4) + L".dmp";
    EXPECT_EQ(GetFileAttributesW(dump.c_str()), INVALID_FILE_ATTRIBUTES) << "a crash dump";

    // What the start wrote reads back as what it means; a file that takes
    // no writes leaves the keys as they were.
    if (!row.writable) return;
    const std::wstring tag = Read(L"InstallTag");
    if (mode == Mode::FirstRun) {
        EXPECT_EQ(tag, L"1");
        EXPECT_TRUE(IsDecimal(Read(L"Inst"))) << Narrow(Read(L"Inst"));
        return;
    }
    EXPECT_EQ(tag, L"0") << "the login page's write";
    if (mode != Mode::Installed) return;
    EXPECT_TRUE(IsDecimal(Read(L"Game"))) << Narrow(Read(L"Game"));
    // The start counted its day from the system date it met.
    EXPECT_EQ(Read(L"lstTime"), row.clockDay != nullptr ? std::wstring(row.clockDay) : Today());
    EXPECT_TRUE(IsDecimal(Read(L"keepdays"))) << Narrow(Read(L"keepdays"));
    const std::wstring weekdays = Read(L"weekdays");
    EXPECT_TRUE(IsDecimal(weekdays) && std::stoi(weekdays) >= 1 && std::stoi(weekdays) <= 127) << Narrow(weekdays);
}

void BrokenStateEndToEnd::RunRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        for (Mode mode : row.modes) {
            Reset();
            row.make();
            Start(row, mode);
        }
    }
}

std::string RandomBytes(size_t size) {
    std::string bytes(size, '\0');
    uint32_t x = 7251;
    for (char& c : bytes) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

std::string TenMiB() {
    std::string text;
    const std::string line = "entry=" + std::string(90, 'x') + "\r\n";
    for (int section = 0; text.size() < 10u * 1024 * 1024; ++section) {
        text += "[Other" + std::to_string(section) + "]\r\n";
        for (int i = 0; i < 100; ++i) text += line;
    }
    return SectionText("Game=3\r\n") + text;
}

std::string TenThousandKeys() {
    std::string body;
    for (int i = 0; i < 10000; ++i) body += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    return SectionText(body);
}

std::string HostileValues() {
    const std::string longText(5000, 'A');
    std::string body;
    for (const char* key : {"ShortKey", "AltWndKey", "SndKey"}) body += std::string(key) + "=9999,-1\r\n";
    for (const char* key : {"Game", "Inst", "UnInst", "LoginCount", "keepdays", "weekdays", "InstallTag"})
        body += std::string(key) + "=abc\r\n";
    body += "lstTime=2300/1/1\r\n";
    body += "iconName=" + longText + "\r\niconTime=" + longText + "\r\nRegUrl=" + longText + "\r\n";
    body += "Key=" + longText + "\r\n" + longText + "=" + longText + "\r\n";
    body += std::string("Emb\0edded=1\r\n", 13);
    return SectionText(body);
}

TEST_F(BrokenStateEndToEnd, SettingsFileInAnyStateStillStarts) {
    const std::wstring file = SettingsFile();
    const auto write = [file](std::string bytes) { return [file, bytes] { WriteBytes(file, bytes); }; };
    RunRows({
        {"random bytes", {Mode::Installed, Mode::FirstRun}, write(RandomBytes(64 * 1024))},
        {"10 MiB", {Mode::Installed, Mode::FirstRun}, write(TenMiB())},
        {"UTF-16 without BOM", {Mode::Installed, Mode::FirstRun},
         write(Utf16NoBom(SectionText("Game=4\r\nlstTime=2020/1/1\r\n")))},
        {"10,000 keys", {Mode::Installed, Mode::FirstRun}, write(TenThousandKeys())},
        {"hostile values", {Mode::Installed, Mode::Web, Mode::FirstRun}, write(HostileValues())},
        // Wine runs as root here and writes through the read-only attribute;
        // on Windows the writes fail and the keys stay as they were.
        {"read-only", {Mode::Installed, Mode::FirstRun},
         [file] {
             WriteBytes(file, SectionText("Game=2\r\n"));
             SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
         },
         false},
        {"a folder", {Mode::Installed, Mode::FirstRun}, [file] { CreateDirectoryW(file.c_str(), nullptr); }, false},
    });
}

TEST_F(BrokenStateEndToEnd, UnusableInstallFolderStillEndsCleanly) {
    const std::wstring folder = InstallFolder();
    RunRows({
        {"install folder read-only", {Mode::FirstRun},
         [folder] { SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY); }, false},
        {"a file for the install folder", {Mode::FirstRun, Mode::Web},
         [folder] {
             DeleteTree(folder);
             WriteBytes(folder, "not a folder");
         },
         false, m_temp + L"corvane_fault\\Doln2.exe"},
    });
}

TEST_F(BrokenStateEndToEnd, OddProgramPathsStillStart) {
    const auto nothing = [] {};
    std::wstring deep = m_temp + L"corvane_fault\\";
    while (deep.size() < 240 - 10) deep += L"d" + std::to_wstring(deep.size() % 10) + L"\\";
    deep = deep.substr(0, 240 - 10) + L"\\Doln2.exe";
    RunRows({
        {"blanks", {Mode::FirstRun, Mode::Web}, nothing, true, m_temp + L"corvane fault\\Doln 2.exe"},
        {"Chinese", {Mode::FirstRun, Mode::Web}, nothing, true, m_temp + L"梦幻大陆\\梦幻 大陆.exe"},
        {"& and %", {Mode::FirstRun, Mode::Web}, nothing, true, m_temp + L"a&b %TEMP%\\Doln&2%.exe"},
        {"240 characters", {Mode::FirstRun, Mode::Web}, nothing, true, deep},
    });
}

TEST_F(BrokenStateEndToEnd, SystemDatePast2038OrBefore2000StillStarts) {
    const auto nothing = [] {};
    const std::vector<Mode> every = {Mode::Installed, Mode::Web, Mode::FirstRun};
    RunRows({
        {"2038-01-20", every, nothing, true, {}, "@2038-01-20 10:00:00", L"2038/1/20"},
        {"1999-12-31", every, nothing, true, {}, "@1999-12-31 23:00:00", L"1999/12/31"},
    });
}

TEST_F(BrokenStateEndToEnd, MissingTempFolderStillStarts) {
    wchar_t temp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    wchar_t tmp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    const std::wstring gone = m_temp + L"corvane_fault_gone";
    RemoveDirectoryW(gone.c_str());
    SetEnvironmentVariableW(L"TEMP", gone.c_str());
    SetEnvironmentVariableW(L"TMP", gone.c_str());
    RunRows({{"%TEMP% missing", {Mode::Installed, Mode::Web, Mode::FirstRun}, [] {}}});
    SetEnvironmentVariableW(L"TEMP", temp);
    SetEnvironmentVariableW(L"TMP", tmp);
}

}  // namespace
