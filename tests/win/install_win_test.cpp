#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/autostart_win.h"
#include "app/ctrl_block.h"
#include "app/desktop_icon_geometry.h"
#include "app/desktop_icon_lookup_win.h"
#include "app/icon_refresh_win.h"
#include "app/ini_win.h"
#include "app/install_paths_win.h"
#include "app/install_step_win.h"
#include "app/machine_roads_win.h"
#include "app/settings_store_win.h"
#include "app/uninstall_win.h"
#include "tests/win/loopback_server_win.h"
#include "tests/win/test_files_win.h"
#include "tools/file_tree.h"
#include "tools/shortcuts_win.h"

// This program's control block (tests/win/app.cmake) names the test build:
// short name WinTestInst, display name 测试大陆, switch /Test2D, autostart
// and the start of the installed copy. Its stand-in client is the payload
// program built beside it.

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kName[] = L"测试大陆";
constexpr wchar_t kNewName[] = L"新名字";
constexpr wchar_t kShort[] = L"WinTestInst";
constexpr DWORD kWaitMs = 20000;

std::wstring BinFolder() { return FolderOf(ModulePath()); }
std::wstring Payload() { return BinFolder() + L"\\install_payload.exe"; }

struct LinkFields {
    std::wstring path, arguments, icon;
};

LinkFields ReadLink(const std::wstring& file) {
    LinkFields out;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&persist)) || FAILED(persist->Load(file.c_str(), STGM_READ))) {
        return out;
    }
    wchar_t text[1024];
    int index = 0;
    if (SUCCEEDED(link->GetPath(text, 1024, nullptr, SLGP_RAWPATH))) out.path = text;
    if (SUCCEEDED(link->GetArguments(text, 1024))) out.arguments = text;
    if (SUCCEEDED(link->GetIconLocation(text, 1024, &index))) out.icon = text;
    return out;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

void RemoveAllShortcuts(const std::wstring& name) {
    for (const std::wstring& path : {DesktopShortcutPath(name), StartMenuShortcutPath(name),
                                     StartMenuShortcutPath(UninstallShortcutName(name))}) {
        DeleteFileW(path.c_str());
    }
}

std::wstring RunValue(const std::wstring& name) {
    wchar_t data[520] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", name.c_str(),
                     RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
        return L"<absent>";
    }
    return data;
}

class InstallWinTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TheCtrlBlock().ShortName(), kShort);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        SHCreateDirectoryExW(nullptr, InstallFolder().c_str(), nullptr);
        WritePrivateProfileStringW(kShort, nullptr, nullptr, SettingsFilePath().c_str());
        for (const wchar_t* name : {kName, kNewName}) RemoveAllShortcuts(name);
        ClearAutostart(kShort);
        m_folder = TempFile(L"corvane_install");
        DeleteTree(m_folder);
        ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr));
    }
    void TearDown() override {
        for (const wchar_t* name : {kName, kNewName}) RemoveAllShortcuts(name);
        ClearAutostart(kShort);
        DeleteTree(m_folder);
        WritePrivateProfileStringW(kShort, nullptr, nullptr, SettingsFilePath().c_str());
        CoUninitialize();
    }

    // A copy of the payload in the test's folder, standing for the running client.
    std::wstring Program(const wchar_t* name = L"Doln2.exe") {
        const std::wstring path = m_folder + L"\\" + name;
        EXPECT_TRUE(CopyFileW(Payload().c_str(), path.c_str(), FALSE));
        return path;
    }

    std::wstring m_folder;
};

TEST_F(InstallWinTest, FirstRunCopiesTheProgramAndMakesItsShortcuts) {
    const std::wstring program = Program(L"InstTest.exe");
    const std::wstring installed = InstallFolder() + L"\\InstTest.exe";
    const std::wstring icon = InstallFolder() + L"\\WinTestInst.ico";
    for (const std::wstring& stale : {installed, icon, installed + L".started"}) DeleteFileW(stale.c_str());

    InstallProgram(TheCtrlBlock(), program);

    EXPECT_EQ(ReadAll(installed), ReadAll(program));
    const std::string iconBytes = ReadAll(icon);
    ASSERT_GT(iconBytes.size(), 6u + 16u);
    EXPECT_EQ(iconBytes.substr(0, 4), std::string("\0\0\1\0", 4));

    const struct {
        std::wstring file, arguments, icon;
    } links[] = {
        {DesktopShortcutPath(kName), L"/Test2D", icon},
        {StartMenuShortcutPath(kName), L"/Test2D", icon},
        // No icon file at install: the program's own.
        {StartMenuShortcutPath(UninstallShortcutName(kName)), L"/uninst", installed},
    };
    for (const auto& expected : links) {
        SCOPED_TRACE(testing::PrintToString(expected.file));
        const LinkFields link = ReadLink(expected.file);
        EXPECT_EQ(lstrcmpiW(link.path.c_str(), installed.c_str()), 0);
        EXPECT_EQ(link.arguments, expected.arguments);
        EXPECT_EQ(lstrcmpiW(link.icon.c_str(), expected.icon.c_str()), 0);
    }
    EXPECT_EQ(RunValue(kShort), installed);
    // The payload's stand-in movie, for a logo window that may not write one.
    EXPECT_EQ(ReadAll(InstallFolder() + L"\\Logo.swf"), "FWS stand-in logo movie");

    // Flag 3: the installed copy starts, with no argument.
    ASSERT_TRUE(WaitFor([&] { return Exists(installed + L".started"); }));
    Sleep(200);
    std::wifstream started((installed + L".started").c_str());
    std::wstring commandLine;
    std::getline(started, commandLine);
    EXPECT_EQ(commandLine, L"\"" + installed + L"\"");
    started.close();

    // Installing from the install folder itself copies nothing onto itself
    // (and starts the copy again).
    ASSERT_TRUE(DeleteFileW((installed + L".started").c_str()));
    InstallProgram(TheCtrlBlock(), installed);
    EXPECT_EQ(ReadAll(installed), ReadAll(program));
    ASSERT_TRUE(WaitFor([&] { return Exists(installed + L".started"); }));
    for (const std::wstring& made : {installed, icon, installed + L".started", InstallFolder() + L"\\Logo.swf"}) {
        WaitFor([&] { return DeleteFileW(made.c_str()) || !Exists(made); });
    }
}

// Stands in for the system's elevation. A granted copy does what the real
// one would: the elevated work of its switch, for the same program.
class CRoadElevation final : public IElevation {
public:
    CRoadElevation(bool elevated, ElevatedRun answer) : m_elevated(elevated), m_answer(answer) {}
    bool IsElevated() const override { return m_elevated; }
    ElevatedRun RunElevated(const std::wstring& program, const std::wstring& parameters, DWORD& exitCode) override {
        m_started = parameters;
        m_startedProgram = program;
        m_copyBytes = ReadAll(program);
        if (m_answer == ElevatedRun::Done) {
            exitCode = static_cast<DWORD>(
                RunElevatedWork({program, parameters}, TheCtrlBlock(), program, [](const std::wstring&) {}));
        }
        return m_answer;
    }
    std::wstring m_started, m_startedProgram;
    std::string m_copyBytes;

private:
    bool m_elevated;
    ElevatedRun m_answer;
};

TEST_F(InstallWinTest, TheFirstRunAsksForElevationOnlyWhenItLacksItAndARefusalChangesNothing) {
    const struct {
        const char* what;
        bool elevated;
        ElevatedRun answer;
        bool installs;
    } cases[] = {
        {"elevated: installs here", true, ElevatedRun::Failed, true},
        {"not elevated, granted: the copy installs", false, ElevatedRun::Done, true},
        {"not elevated, refused", false, ElevatedRun::Refused, false},
        {"not elevated, no copy could start", false, ElevatedRun::Failed, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring program = Program(L"RoadTest.exe");
        const std::wstring installed = InstallFolder() + L"\\RoadTest.exe";
        for (const std::wstring& stale : {installed, installed + L".started"}) DeleteFileW(stale.c_str());
        CRoadElevation elevation(c.elevated, c.answer);
        std::vector<std::wstring> notices;
        EXPECT_EQ(RunInstallRoad(elevation, TheCtrlBlock(), program, [&](const std::wstring& text) { notices.push_back(text); }),
                  c.installs);
        EXPECT_EQ(elevation.m_started, c.elevated ? L"" : kElevatedInstallSwitch);
        if (!c.elevated) {
            // The copy runs from a folder of its own, never from where the
            // program was downloaded, and is gone afterwards.
            EXPECT_EQ(FileNameOf(elevation.m_startedProgram), L"RoadTest.exe");
            EXPECT_NE(lstrcmpiW(FolderOf(elevation.m_startedProgram).c_str(), m_folder.c_str()), 0);
            EXPECT_EQ(elevation.m_copyBytes, ReadAll(program));
            EXPECT_FALSE(Exists(elevation.m_startedProgram));
            EXPECT_FALSE(Exists(FolderOf(elevation.m_startedProgram)));
        }
        EXPECT_EQ(Exists(installed), c.installs);
        EXPECT_EQ(Exists(DesktopShortcutPath(kName)), c.installs);
        EXPECT_EQ(RunValue(kShort) != L"<absent>", c.installs);
        EXPECT_EQ(TheSettingsStore().Read(kShort, L"InstallTag", L"<absent>", 16), c.installs ? L"1" : L"<absent>");
        if (c.installs) {
            EXPECT_TRUE(notices.empty());
            // The user's own process starts the installed copy, also after
            // an elevated copy did the install.
            EXPECT_TRUE(WaitFor([&] { return Exists(installed + L".started"); }));
        } else {
            EXPECT_EQ(notices, std::vector<std::wstring>{InstallNeedsAdminText(TheCtrlBlock().TitleName())});
            Sleep(300);
            EXPECT_FALSE(Exists(installed + L".started"));
        }
        for (const std::wstring& made : {installed, installed + L".started"}) {
            WaitFor([&] { return DeleteFileW(made.c_str()) || !Exists(made); });
        }
        RemoveAllShortcuts(kName);
        ClearAutostart(kShort);
        WritePrivateProfileStringW(kShort, nullptr, nullptr, SettingsFilePath().c_str());
    }
}

TEST_F(InstallWinTest, ARefusedUninstallRemovesNothing) {
    const std::wstring program = Program(L"RoadTest.exe");
    ASSERT_TRUE(SetAutostart(kShort, program));
    ASSERT_TRUE(CreateDesktopShortcut(L"", kName, program, L"/Test2D"));
    CRoadElevation elevation(false, ElevatedRun::Refused);
    std::vector<std::wstring> notices;
    EXPECT_FALSE(RunUninstallRoad(elevation, TheCtrlBlock(), program, [&](const std::wstring& text) { notices.push_back(text); }));
    EXPECT_EQ(elevation.m_started, kElevatedUninstallSwitch);
    EXPECT_EQ(elevation.m_startedProgram, program);
    EXPECT_EQ(notices, std::vector<std::wstring>{UninstallNeedsAdminText(TheCtrlBlock().TitleName())});
    EXPECT_TRUE(IsAutostartSet(kShort));
    EXPECT_TRUE(Exists(DesktopShortcutPath(kName)));
    EXPECT_TRUE(Exists(program));
}

// The portal plays its part from a table: the description's text and whether
// the icon downloads.
struct PortalPlay {
    std::string description;
    bool iconServed = true;
};

const std::string kIconBytes = std::string("\0\0\1\0", 4) + "a downloaded icon";

class IconRefreshWinTest : public InstallWinTest {
protected:
    void SetUp() override {
        InstallWinTest::SetUp();
        m_program = Program();
        m_icon = m_folder + L"\\WinTestInst.ico";
        ASSERT_TRUE(CreateDesktopShortcut(L"", kName, m_program, L"/Test2D"));
        ASSERT_TRUE(CreateStartMenuShortcut(L"/Test2D", m_program, kName, L""));
        ASSERT_TRUE(CreateStartMenuShortcut(L"/uninst", m_program, UninstallShortcutName(kName), L""));
    }

    std::string Description(const std::string& time) const {
        return "var info = {\"time\":\"" + time + "\",\"iconName\":\"\xE6\x96\xB0\xE5\x90\x8D\xE5\xAD\x97\"," +
               "\"iconUrl\":\"http://" + m_server.HostPort() + "/icons/t.ico\"};";
    }

    bool Refresh() {
        CSettings settings = AppSettings();
        return FollowIconDescription(TheCtrlBlock(), m_program, L"127.0.0.1:" + std::to_wstring(m_server.Port()), settings);
    }

    // The server records a request on its own thread, after answering it.
    size_t Requests(size_t expected) {
        m_server.WaitForRequests(expected, 3000);
        Sleep(100);
        return m_server.RequestCount();
    }

    bool OldShortcutsStay() const {
        return Exists(DesktopShortcutPath(kName)) && Exists(StartMenuShortcutPath(kName)) &&
               Exists(StartMenuShortcutPath(UninstallShortcutName(kName))) && !Exists(DesktopShortcutPath(kNewName));
    }

    PortalPlay m_play;
    CWinLoopbackServer m_server{[this](CWinLoopbackServer::CConn& conn, const std::string& request) {
        if (request.rfind("GET /webStatic/index.php?_c=client&_a=getIconInfo&game=doln&aid=2 ", 0) == 0) {
            conn.Reply("200 OK", m_play.description);
        } else if (request.rfind("GET /icons/t.ico ", 0) == 0 && m_play.iconServed) {
            conn.Reply("200 OK", kIconBytes);
        } else {
            conn.Reply("404 Not Found", "");
        }
    }};
    std::wstring m_program;
    std::wstring m_icon;
};

TEST_F(IconRefreshWinTest, ANewTimeReplacesTheShortcutsAndIsStored) {
    m_play.description = Description("20261201");
    ASSERT_TRUE(Refresh());

    EXPECT_FALSE(Exists(DesktopShortcutPath(kName)));
    EXPECT_FALSE(Exists(StartMenuShortcutPath(kName)));
    EXPECT_FALSE(Exists(StartMenuShortcutPath(UninstallShortcutName(kName))));
    EXPECT_EQ(ReadAll(m_icon), kIconBytes);
    const struct {
        std::wstring file, arguments;
    } links[] = {
        {DesktopShortcutPath(kNewName), L"/Test2D"},
        {StartMenuShortcutPath(kNewName), L"/Test2D"},
        {StartMenuShortcutPath(UninstallShortcutName(kNewName)), L"/uninst"},
    };
    for (const auto& expected : links) {
        SCOPED_TRACE(testing::PrintToString(expected.file));
        const LinkFields link = ReadLink(expected.file);
        EXPECT_EQ(link.path, m_program);
        EXPECT_EQ(link.arguments, expected.arguments);
        EXPECT_EQ(link.icon, m_icon);
    }
    CSettings settings = AppSettings();
    EXPECT_EQ(settings.Read(settings::kIconTime), L"20261201");
    EXPECT_EQ(settings.Read(settings::kIconName), kNewName);

    // The same time again: nothing is downloaded, nothing changes.
    m_server.Clear();
    EXPECT_FALSE(Refresh());
    EXPECT_EQ(Requests(1), 1u);
    EXPECT_TRUE(Exists(DesktopShortcutPath(kNewName)));

    // A later time replaces the shortcuts of the stored name.
    m_play.description = Description("20261202");
    EXPECT_TRUE(Refresh());
    EXPECT_TRUE(Exists(DesktopShortcutPath(kNewName)));
    EXPECT_EQ(AppSettings().Read(settings::kIconTime), L"20261202");
}

TEST_F(IconRefreshWinTest, AnIncompleteRefreshChangesNothing) {
    const struct {
        const char* what;
        PortalPlay play;
        size_t requests;
    } cases[] = {
        {"broken description", {"{\"time\":\"20261201\",\"iconName\":", true}, 1},
        {"no description at all", {"<html>not found</html>", true}, 1},
        {"icon not found", {Description("20261201"), false}, 2},
        {"time that writes a section of its own", {Description("1\\r\\n[WinTestInst]\\r\\nRegUrl=x"), true}, 1},
        {"name that is no file name",
         {"{\"time\":\"9\",\"iconName\":\"..\\\\..\\\\x\",\"iconUrl\":\"http://" + m_server.HostPort() + "/icons/t.ico\"}",
          true},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_play = c.play;
        m_server.Clear();
        EXPECT_FALSE(Refresh());
        EXPECT_EQ(Requests(c.requests), c.requests);
        EXPECT_TRUE(OldShortcutsStay());
        EXPECT_FALSE(Exists(m_icon));
        CSettings settings = AppSettings();
        EXPECT_EQ(settings.Read(settings::kIconTime), L"");
        EXPECT_EQ(settings.Read(settings::kIconName), L"");
    }
}

// The drive root that root-relative paths ("\\Logo.swf") would reach, made
// the current one for the test's lifetime.
class RootOfCurrentDrive {
public:
    RootOfCurrentDrive() {
        GetCurrentDirectoryW(MAX_PATH, m_old);
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        SetCurrentDirectoryW(windows);
        root = std::wstring(windows).substr(0, 3);
    }
    ~RootOfCurrentDrive() { SetCurrentDirectoryW(m_old); }
    std::wstring root;

private:
    wchar_t m_old[MAX_PATH] = {};
};

TEST_F(IconRefreshWinTest, AProgramPathWithoutAFolderIsRefused) {
    m_play.description = Description("20261201");
    const std::wstring rootIcon = RootOfCurrentDrive().root + L"WinTestInst.ico";
    DeleteFileW(rootIcon.c_str());
    {
        RootOfCurrentDrive drive;
        CSettings settings = AppSettings();
        EXPECT_FALSE(FollowIconDescription(TheCtrlBlock(), L"Doln2.exe",
                                           L"127.0.0.1:" + std::to_wstring(m_server.Port()), settings));
    }
    EXPECT_FALSE(Exists(rootIcon));
    EXPECT_EQ(Requests(0), 0u);
    EXPECT_TRUE(OldShortcutsStay());
    DeleteFileW(rootIcon.c_str());
}

constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

bool HasValueIn(REGSAM view, const wchar_t* key, const wchar_t* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return false;
    const bool found = RegQueryValueExW(opened, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return found;
}

LSTATUS SetValueIn(REGSAM view, const wchar_t* key, const wchar_t* name) {
    HKEY opened = nullptr;
    LSTATUS status =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) return status;
    const DWORD one = 1;
    status = RegSetValueExW(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(opened);
    return status;
}

class UninstallWinTest : public InstallWinTest {
protected:
    // Starts the program so that it holds its file until released.
    PROCESS_INFORMATION StartHeld(const std::wstring& program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring commandLine = L"\"" + program + L"\" /wait";
        EXPECT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        EXPECT_TRUE(WaitFor([&] { return Exists(program + L".started"); }));
        return process;
    }
    static void Release(const std::wstring& program, PROCESS_INFORMATION& process) {
        std::ofstream((program + L".release").c_str()) << "go";
        WaitForSingleObject(process.hProcess, kWaitMs);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

TEST_F(UninstallWinTest, RemovesEverythingAndTheBatchDeletesTheProgramAfterItsExit) {
    const std::wstring folder = m_folder + L"\\shared";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring program = folder + L"\\UninstTest.exe";
    ASSERT_TRUE(CopyFileW(Payload().c_str(), program.c_str(), FALSE));
    std::ofstream((folder + L"\\Logo.swf").c_str()) << "movie";
    std::ofstream((folder + L"\\WinTestInst.ico").c_str()) << "icon";
    std::ofstream((folder + L"\\keep.txt").c_str()) << "not ours";

    const std::wstring ownKey = L"Software\\7251\\GameLogin\\WinTestInst";
    const wchar_t emulation[] = L"SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    const DWORD mode = 11000;
    // A 32-bit and a 64-bit program each see their own half of the registry.
    for (REGSAM view : kViews) {
        ASSERT_EQ(SetValueIn(view, ownKey.c_str(), L"x"), ERROR_SUCCESS);
        ASSERT_EQ(SetValueIn(view, emulation, L"UninstTest.exe"), ERROR_SUCCESS);
    }
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, emulation, L"Other.exe", REG_DWORD, &mode, sizeof mode), ERROR_SUCCESS);
    HKEY classKey = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, L"portleruninsttest", &classKey), ERROR_SUCCESS);
    RegCloseKey(classKey);
    ASSERT_TRUE(SetAutostart(kShort, program));
    // Stored name: those shortcuts go, not the display name's.
    ASSERT_TRUE(CreateDesktopShortcut(L"", kNewName, program, L"/Test2D"));
    ASSERT_TRUE(CreateStartMenuShortcut(L"/uninst", program, UninstallShortcutName(kNewName), L""));
    ASSERT_TRUE(CreateDesktopShortcut(L"", kName, program, L"/Test2D"));
    // Of the stored name, but another program's: it stays.
    ASSERT_TRUE(CreateLink(Payload(), L"", StartMenuShortcutPath(kNewName), L"", L""));
    CSettings settings = AppSettings();
    settings.Write(settings::kIconName, kNewName);
    settings.Write(settings::kIconTime, L"5");

    PROCESS_INFORMATION process = StartHeld(program);
    UninstallProgram(TheCtrlBlock(), program, settings);
    const std::wstring batch = StartSelfDeleteBatch(program);

    HKEY probe = nullptr;
    for (REGSAM view : kViews) {
        SCOPED_TRACE(view);
        EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, ownKey.c_str(), 0, KEY_READ | view, &probe), ERROR_SUCCESS);
        EXPECT_FALSE(HasValueIn(view, emulation, L"UninstTest.exe"));
    }
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, emulation, L"Other.exe", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"portleruninsttest", 0, KEY_READ, &probe), ERROR_SUCCESS);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, emulation, L"Other.exe");
    EXPECT_FALSE(IsAutostartSet(kShort));
    EXPECT_FALSE(Exists(DesktopShortcutPath(kNewName)));
    EXPECT_FALSE(Exists(StartMenuShortcutPath(UninstallShortcutName(kNewName))));
    EXPECT_TRUE(Exists(DesktopShortcutPath(kName)));
    EXPECT_TRUE(Exists(StartMenuShortcutPath(kNewName)));
    EXPECT_EQ(settings.Read(settings::kIconName), L"");
    EXPECT_EQ(settings.Read(settings::kIconTime), L"");
    EXPECT_FALSE(Exists(folder + L"\\Logo.swf"));
    EXPECT_FALSE(Exists(folder + L"\\WinTestInst.ico"));

    // The running program outlives the uninstall; the batch waits for it.
    ASSERT_FALSE(batch.empty());
    EXPECT_EQ(batch.substr(batch.size() - 4), L".bat");
    Sleep(1500);
    EXPECT_TRUE(Exists(program));
    Release(program, process);
    EXPECT_TRUE(WaitFor([&] { return !Exists(program); }));
    EXPECT_TRUE(WaitFor([&] { return !Exists(batch); }));
    // The folder held more than the program: it stays with what is not ours.
    EXPECT_TRUE(Exists(folder + L"\\keep.txt"));
}

TEST_F(UninstallWinTest, AProgramPathWithoutAFolderIsRefused) {
    RootOfCurrentDrive drive;
    for (const wchar_t* file : {L"Logo.swf", L"WinTestInst.ico"}) std::ofstream((drive.root + file).c_str()) << "not ours";
    CSettings settings = AppSettings();
    settings.Write(settings::kIconName, kNewName);
    EXPECT_FALSE(UninstallProgram(TheCtrlBlock(), L"UninstTest.exe", settings));
    EXPECT_TRUE(Exists(drive.root + L"Logo.swf"));
    EXPECT_TRUE(Exists(drive.root + L"WinTestInst.ico"));
    EXPECT_EQ(settings.Read(settings::kIconName), kNewName);
    for (const wchar_t* file : {L"Logo.swf", L"WinTestInst.ico"}) DeleteFileW((drive.root + file).c_str());
}

TEST_F(UninstallWinTest, AFolderLeftWithOnlyTheProgramOnceItsOwnFilesAreGoneGoesToo) {
    const std::wstring folder = m_folder + L"\\only ours";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring program = folder + L"\\Doln2.exe";
    ASSERT_TRUE(CopyFileW(Payload().c_str(), program.c_str(), FALSE));
    std::ofstream((folder + L"\\Logo.swf").c_str()) << "movie";
    std::ofstream((folder + L"\\WinTestInst.ico").c_str()) << "icon";
    CRoadElevation elevation(true, ElevatedRun::Failed);
    std::vector<std::wstring> notices;
    EXPECT_TRUE(RunUninstallRoad(elevation, TheCtrlBlock(), program, [&](const std::wstring& text) { notices.push_back(text); }));
    EXPECT_EQ(notices, std::vector<std::wstring>{UninstalledText(TheCtrlBlock().TitleName())});
    EXPECT_TRUE(WaitFor([&] { return !Exists(folder); }));
}

// The batch's own processes, by their image names.
int BatchProcesses() {
    int count = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"cmd.exe") == 0 || lstrcmpiW(entry.szExeFile, L"ping.exe") == 0) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

TEST_F(UninstallWinTest, TheBatchTakesAReadOnlyProgramAndGivesUpOnAHeldOneLeavingNothing) {
    const struct {
        const char* what;
        bool held;      // still running when the batch gives up
        bool alone;     // the only file of its folder
        bool programGoes;
    } cases[] = {
        {"read-only, alone in its folder", false, true, true},
        {"read-only beside another file", false, false, true},
        {"read-only and still running", true, true, false},
    };
    const int before = BatchProcesses();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring folder = m_folder + L"\\ro 100% " + std::to_wstring(&c - cases);
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        const std::wstring program = folder + L"\\只读.exe";
        ASSERT_TRUE(CopyFileW(Payload().c_str(), program.c_str(), FALSE));
        if (!c.alone) std::ofstream((folder + L"\\keep.txt").c_str()) << "not ours";
        PROCESS_INFORMATION process{};
        if (c.held) {
            process = StartHeld(program);
            DeleteFileW((program + L".started").c_str());
        }
        ASSERT_TRUE(SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_READONLY));

        // Three tries stand for the minute the client's batch allows.
        const std::wstring batch = StartSelfDeleteBatch(program, 3);
        ASSERT_FALSE(batch.empty());
        EXPECT_TRUE(WaitFor([&] { return !Exists(batch); }));
        EXPECT_TRUE(WaitFor([&] { return BatchProcesses() == before; }));
        EXPECT_EQ(Exists(program), !c.programGoes);
        EXPECT_EQ(Exists(folder), !(c.programGoes && c.alone));
        // The file that reserved the batch's name goes with it.
        EXPECT_FALSE(Exists(batch.substr(0, batch.size() - 4)));
        if (c.held) {
            Release(program, process);
            SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
}

TEST(DesktopIconLookupWinTest, FindsALabelledItemInAnotherProcess) {
    const std::wstring child = BinFolder() + L"\\desktop_child.exe";
    for (const wchar_t* suffix : {L".expected", L".release"}) DeleteFileW((child + suffix).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + child + L"\"";
    ASSERT_TRUE(CreateProcessW(child.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    ASSERT_TRUE(WaitFor([&] { return Exists(child + L".expected"); }));
    std::istringstream expected(ReadAll(child + L".expected"));
    ui::PixelRect bounds;
    int width = 0, height = 0;
    expected >> bounds.left >> bounds.top >> bounds.right >> bounds.bottom >> width >> height;
    ASSERT_GT(bounds.Width(), 0);
    const ui::PixelRect area = desktop_icon::IconAreaAboveLabel(bounds, width, height);

    RECT rect{};
    EXPECT_TRUE(FindDesktopIcon(L"DOLN game 梦幻", rect));
    EXPECT_EQ((ui::PixelRect{rect.left, rect.top, rect.right, rect.bottom}), area);
    RECT explicit64{};
    EXPECT_TRUE(FindDesktopIcon(L"doln game 梦幻", explicit64, true));
    EXPECT_EQ(explicit64.bottom, rect.bottom);
    RECT missing{1, 2, 3, 4};
    EXPECT_FALSE(FindDesktopIcon(L"Doln Game", missing));
    EXPECT_EQ(missing.left + missing.top + missing.right + missing.bottom, 0);

    std::ofstream((child + L".release").c_str()) << "go";
    WaitForSingleObject(process.hProcess, kWaitMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (const wchar_t* suffix : {L".expected", L".release"}) DeleteFileW((child + suffix).c_str());
}

}  // namespace
