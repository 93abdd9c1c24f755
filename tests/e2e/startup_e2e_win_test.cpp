#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "app/ini_win.h"
#include "app/settings_store_win.h"
#include "tests/e2e/client_run_win.h"
#include "tests/win/black_hole_server_win.h"
#include "tests/win/loopback_server_win.h"
#include "tools/file_tree.h"
#include "tools/shortcuts_win.h"

// The client itself, started the way users start it, against a loopback
// server that records every request. Each start runs a copy of the built
// program relabelled so that its statistics hosts and its probe address
// point at that server and its settings live in a section of their own.

namespace {

constexpr wchar_t kSection[] = L"E2eDoln";
constexpr wchar_t kTitle[] = L"Dolnrise";
std::wstring InstallFolder() { return CommonAppDataFolder() + L"\\7251\\GameLogin"; }

std::wstring Setting(const wchar_t* key) {
    return TheSettingsStore().Read(kSection, key, L"<absent>", 256);
}

std::wstring Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return std::to_wstring(now.wYear) + L"/" + std::to_wstring(now.wMonth) + L"/" + std::to_wstring(now.wDay);
}

class StartupEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        SHCreateDirectoryExW(nullptr, InstallFolder().c_str(), nullptr);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_elsewhere = std::wstring(temp) + L"corvane_e2e";
        SHCreateDirectoryExW(nullptr, m_elsewhere.c_str(), nullptr);
        WritePrivateProfileStringW(kSection, nullptr, nullptr, SettingsFilePath().c_str());

        ASSERT_TRUE(m_client.Loaded());
    }
    void TearDown() override {
        for (const auto& file : m_made) DeleteFileW(file.c_str());
        RemoveDirectoryW(m_elsewhere.c_str());
        WritePrivateProfileStringW(kSection, nullptr, nullptr, SettingsFilePath().c_str());
    }

    // Writes a copy of the client to `path` with the loopback hosts and the
    // given further slots.
    std::wstring MakeClient(const std::wstring& path, SlotValues slots = {}) {
        const SlotValues loopback = LoopbackSlots(m_server.HostPort(), Narrow(kSection));
        slots.insert(slots.begin(), loopback.begin(), loopback.end());
        EXPECT_TRUE(m_client.Write(path, slots)) << Narrow(path);
        m_made.push_back(path);
        return path;
    }
    std::wstring Elsewhere() { return MakeClient(m_elsewhere + L"\\Doln2.exe"); }
    std::wstring Installed() { return MakeClient(InstallFolder() + L"\\E2eDoln.exe"); }

    // The targets that arrived, once `count` have or the wait ran out.
    std::vector<std::string> Targets(size_t count) {
        m_server.WaitForRequests(count, 10000);
        Sleep(300);  // anything beyond `count` would show up too
        return m_server.Targets();
    }

    // Checks that a start ended with 0 and no box, having sent nothing but
    // the open event and written no game; returns that event's target.
    std::string ExpectOnlyTheOpenEvent(const RunResult& run);

    CWinLoopbackServer m_server;
    std::wstring m_elsewhere;
    CClientImage m_client;
    std::vector<std::wstring> m_made;
};

const std::string kOpenEvent =
    "/_regevent.gif?event=100&ename=%E6%89%93%E5%BC%80&type=0&game=doln&oid=17800&oid1=17800&oid2=&cid=3000&aid=2"
    "&lc=0&userSession=";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

std::string StartupEndToEnd::ExpectOnlyTheOpenEvent(const RunResult& run) {
    EXPECT_TRUE(run.ended);
    if (!run.ended) return {};
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    const auto targets = Targets(1);
    EXPECT_EQ(targets.size(), 1u);
    if (targets.size() != 1) return {};
    EXPECT_TRUE(StartsWith(targets[0], kOpenEvent)) << targets[0];
    EXPECT_EQ(Setting(L"Game"), L"<absent>");
    return targets[0];
}

// The active statistics and the open event go out on threads of their own,
// neither waiting for the other, so they may arrive in either order: sorted,
// the open event ("/_regevent") comes first.
std::vector<std::string> Sorted(std::vector<std::string> targets) {
    std::sort(targets.begin(), targets.end());
    return targets;
}

TEST_F(StartupEndToEnd, WebStartSendsOnlyTheOpenEvent) {
    const RunResult run = RunClient(Installed(), L"/web7251D");
    EXPECT_TRUE(run.sawLoginFace);
    const std::string open = ExpectOnlyTheOpenEvent(run);
    EXPECT_NE(open.find("&newStat=0&referer=http%3A%2F%2F127%2E0%2E0%2E1%3A7251%2Fdoln%2F"), std::string::npos);
}

// The hall and update starts open the client as a web start does: no active
// statistics, only the open event.
TEST_F(StartupEndToEnd, HallGameAndUpdateStartsSendOnlyTheOpenEvent) {
    const std::wstring client = Installed();
    for (const wchar_t* args : {L"/newgm h4660 http://127.0.0.1:7251/game/play.html?s=1", L"/gmhall h4660", L"/update"}) {
        SCOPED_TRACE(Narrow(args));
        m_server.Clear();
        ExpectOnlyTheOpenEvent(RunClient(client, args));
    }
}

// The desktop-icon refresh asks the portal; its empty answer changes nothing.
const std::string kIconDescription = "/webStatic/index.php?_c=client&_a=getIconInfo&game=doln&aid=2";

TEST_F(StartupEndToEnd, InstalledStartCountsAndKeepsItsDays) {
    const std::wstring client = Installed();
    RunResult run = RunClient(client, L"");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    auto targets = Sorted(Targets(3));
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_TRUE(StartsWith(targets[0], kOpenEvent)) << targets[0];
    EXPECT_EQ(targets[1], "/active.htm?tag=Doln2&ver=3.0.0.1&count=1&apartdays=0&keepdays=1&weekdays=1");
    EXPECT_EQ(targets[2], kIconDescription);
    EXPECT_EQ(Setting(L"Game"), L"1");
    EXPECT_EQ(Setting(L"lstTime"), Today());
    EXPECT_EQ(Setting(L"keepdays"), L"1");
    EXPECT_EQ(Setting(L"weekdays"), L"1");

    m_server.Clear();
    run = RunClient(client, L"");
    ASSERT_TRUE(run.ended);
    targets = Sorted(Targets(3));
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_TRUE(StartsWith(targets[0], kOpenEvent)) << targets[0];
    EXPECT_EQ(targets[1], "/active.htm?tag=Doln2&ver=3.0.0.1&count=2&apartdays=0&keepdays=1&weekdays=1");
}

TEST_F(StartupEndToEnd, ShortcutStartSendsTheActiveStatisticsToo) {
    const RunResult run = RunClient(Elsewhere(), L"/doln2d");
    ASSERT_TRUE(run.ended);
    const auto targets = Sorted(Targets(3));
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_TRUE(StartsWith(targets[0], kOpenEvent)) << targets[0];
    EXPECT_TRUE(StartsWith(targets[1], "/active.htm?tag=Doln2&ver=3.0.0.1&count=1&")) << targets[1];
    EXPECT_EQ(targets[2], kIconDescription);
}

TEST_F(StartupEndToEnd, FirstRunOnABareMachineInstallsAndReportsIt) {
    // Bare: no shared folder yet. Flag 3 off, so that no installed copy
    // starts and adds its own requests.
    DeleteTree(CommonAppDataFolder() + L"\\7251");
    const std::wstring client = MakeClient(m_elsewhere + L"\\Doln2.exe", {{"BuildFlags", "0x146"}});
    const std::wstring installed = InstallFolder() + L"\\Doln2.exe";
    m_made.push_back(installed);
    m_made.push_back(InstallFolder() + L"\\E2eDoln.ico");
    const RunResult run = RunClient(client, L"");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ReadWholeFile(installed), ReadWholeFile(client));
    EXPECT_TRUE(DeleteDesktopShortcut(kTitle, installed));
    EXPECT_TRUE(DeleteStartMenuShortcut(kTitle, installed));
    EXPECT_TRUE(DeleteStartMenuShortcut(std::wstring(L"卸载 ") + kTitle, installed));
    const auto targets = Targets(3);
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_TRUE(StartsWith(targets[0], "/_az.gif?agid=0&cid=3000&aid=2&game=doln&did=")) << targets[0];
    EXPECT_NE(targets[0].find("&vid="), std::string::npos);
    EXPECT_NE(targets[0].find("&mac="), std::string::npos);
    EXPECT_TRUE(StartsWith(targets[1],
                           "/_regevent.gif?event=106&ename=%E5%AE%89%E8%A3%85&type=0&game=doln&oid=15845&oid1=15845"
                           "&oid2=&cid=39134&aid=67985&lc=0&userSession="))
        << targets[1];
    EXPECT_EQ(targets[2], "/install.htm?tag=Doln2&ver=3.0.0.1&count=1");
    EXPECT_EQ(Setting(L"InstallTag"), L"1");
    EXPECT_EQ(Setting(L"Inst"), L"1");
    EXPECT_EQ(Setting(L"Game"), L"<absent>");
}

TEST_F(StartupEndToEnd, FlagBitZeroSkipsTheInstall) {
    const RunResult run = RunClient(MakeClient(m_elsewhere + L"\\Doln2.exe", {{"BuildFlags", "0x14F"}}), L"");
    ASSERT_TRUE(run.ended);
    const auto targets = Sorted(Targets(2));
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_TRUE(StartsWith(targets[0], kOpenEvent)) << targets[0];
    EXPECT_EQ(targets[1], "/active.htm?tag=Doln2&ver=3.0.0.1&count=1&apartdays=0&keepdays=1&weekdays=1");
    // No install step set the tag; the login page took it ("0") as on any start.
    EXPECT_EQ(Setting(L"InstallTag"), L"0");
}

TEST_F(StartupEndToEnd, NoNetworkShowsTheMessageAndSendsNothing) {
    const std::string probe = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/";
    const RunResult run = RunClient(MakeClient(m_elsewhere + L"\\Doln2.exe", {{"ProbeUrl", probe}}), L"/uninst");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, kTitle);
    EXPECT_EQ(run.boxes[0].text, L"当前网络不可用，请检查网络连接是否正常！");
    EXPECT_TRUE(Targets(0).empty());
    EXPECT_EQ(m_server.Connections(), 0);
}

TEST_F(StartupEndToEnd, UninstallAnsweredNoSendsNothing) {
    const RunResult run = RunClient(Installed(), L"/UNINST", Answering([](const BoxSeen&) { return IDNO; }));
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, kTitle);
    EXPECT_EQ(run.boxes[0].text, L"确定要移除 Dolnrise 吗？");
    EXPECT_TRUE(Targets(0).empty());
    EXPECT_EQ(Setting(L"UnInst"), L"<absent>");
}

TEST_F(StartupEndToEnd, UninstallAnsweredYesReportsIt) {
    const RunResult run = RunClient(Installed(), L"/uninst", Answering([](const BoxSeen& box) {
        return box.text.find(L"吗？") != std::wstring::npos ? IDYES : IDOK;
    }));
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_EQ(run.boxes[1].caption, kTitle);
    EXPECT_EQ(run.boxes[1].text.rfind(L"Dolnrise已成功移除，部分文件将在程序退出", 0), 0u);
    const auto targets = Targets(3);
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_TRUE(StartsWith(targets[0], "/_xz.gif?agid=0&cid=3000&aid=2&game=doln&did=")) << targets[0];
    EXPECT_TRUE(StartsWith(targets[1], "/_regevent.gif?event=107&ename=%E5%8D%B8%E8%BD%BD&type=0&game=doln&oid=17800"))
        << targets[1];
    EXPECT_EQ(targets[2], "/uninstall.htm?tag=Doln2&ver=3.0.0.1&count=1");
}

// A user's process with a limited token: the machine's part goes to an
// elevated copy of the program (under Wine "runas" grants the same limited
// token, and rights are not enforced, so the copy's work succeeds), and the
// installed client is started by the user's own process, never elevated.
TEST_F(StartupEndToEnd, WithoutElevationTheMachinesPartRunsInACopyAndTheClientAsTheUser) {
    DeleteTree(CommonAppDataFolder() + L"\\7251");
    // Flag 3: the installed copy starts.
    const std::wstring client = MakeClient(m_elsewhere + L"\\Doln2.exe", {{"BuildFlags", "0x14E"}});
    const std::wstring installed = InstallFolder() + L"\\Doln2.exe";
    m_made.push_back(installed);
    m_made.push_back(InstallFolder() + L"\\E2eDoln.ico");
    bool sawCopy = false;
    RunOptions options = EveryPoll([&](DWORD pid) {
        // The copy: the same program, from a folder of its own.
        for (const ChildProcess& child : ChildrenOf(pid)) {
            const std::wstring name = child.path.substr(child.path.find_last_of(L'\\') + 1);
            sawCopy |= name == L"Doln2.exe" && lstrcmpiW(child.path.c_str(), client.c_str()) != 0 &&
                       lstrcmpiW(child.path.c_str(), installed.c_str()) != 0;
        }
    });
    options.limitedToken = true;
    const RunResult run = RunClient(client, L"", options);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(sawCopy);
    EXPECT_EQ(ReadWholeFile(installed), ReadWholeFile(client));
    EXPECT_TRUE(DeleteDesktopShortcut(kTitle, installed));
    EXPECT_TRUE(DeleteStartMenuShortcut(kTitle, installed));
    EXPECT_TRUE(DeleteStartMenuShortcut(std::wstring(L"卸载 ") + kTitle, installed));

    // The started client: a child of the user's process, not of the copy.
    std::vector<ChildProcess> started;
    for (int i = 0; i < 100 && started.empty(); ++i, Sleep(100)) {
        for (const ChildProcess& child : ChildrenOf(run.processId)) {
            if (lstrcmpiW(child.path.c_str(), installed.c_str()) == 0) started.push_back(child);
        }
    }
    ASSERT_EQ(started.size(), 1u);
    EXPECT_FALSE(started[0].elevated);
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, started[0].id);
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

TEST_F(StartupEndToEnd, WithoutElevationTheCopyRemovesTheClientAndShowsTheFinalMessage) {
    const std::wstring installed = Installed();
    RunOptions options = Answering([](const BoxSeen& box) { return box.text.find(L"吗？") != std::wstring::npos ? IDYES : IDOK; });
    options.limitedToken = true;
    const RunResult run = RunClient(installed, L"/uninst", options);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_EQ(run.boxes[1].text.rfind(L"Dolnrise已成功移除", 0), 0u);
    const auto targets = Targets(3);
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[2], "/uninstall.htm?tag=Doln2&ver=3.0.0.1&count=1");
    // The copy's batch deletes the program once both processes are gone.
    bool gone = false;
    for (int i = 0; i < 200 && !gone; ++i, Sleep(100)) gone = GetFileAttributesW(installed.c_str()) == INVALID_FILE_ATTRIBUTES;
    EXPECT_TRUE(gone);
}

}  // namespace

TEST_F(StartupEndToEnd, WebStartLoadsTheLoginPageWithTheDeviceParameters) {
    const std::string host = m_server.HostPort();
    const std::string page = "/doln/clients/doln-gwb2-zddl/reg.html?oid=17800&oid2=&vcode=&dirtype=0&pt=0&";
    const std::wstring client = MakeClient(InstallFolder() + L"\\E2eDoln.exe", {{"LoginPageUrl", "http://" + host + page}});
    // The open event, then the login page.
    const RunResult run = RunClient(client, L"/web7251D",
                                    AtLoginFace([&](HWND, DWORD) { m_server.WaitForRequests(2, 20000); }));
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(run.sawLoginFace);
    EXPECT_EQ(run.exitCode, 0u);
    std::string login;
    for (const std::string& target : m_server.Targets()) {
        if (StartsWith(target, "/doln/")) login = target;
    }
    ASSERT_FALSE(login.empty());
    EXPECT_TRUE(StartsWith(login, page + "agid=0&cid=3000&aid=2&game=doln&did=")) << login;
    EXPECT_NE(login.find("&vid="), std::string::npos) << login;
    EXPECT_NE(login.find("&mac="), std::string::npos) << login;
    // A bare settings file reads as the first login page after an install.
    const std::string tail = "&toAd=1&autorun=0";
    ASSERT_GT(login.size(), tail.size());
    EXPECT_EQ(login.substr(login.size() - tail.size()), tail) << login;
    EXPECT_EQ(Setting(L"InstallTag"), L"0");
}

// Nothing the login face needs comes from the statistics hosts or the
// portal: with all of them hung (they accept and never answer), the face
// and its page come while the client still waits on every request it made
// of them, and the desktop-icon refresh asks the portal beside the face.
TEST_F(StartupEndToEnd, HungServersDoNotHoldTheLoginFace) {
    CBlackHoleServer hung;
    const std::string page = "/doln/clients/doln-gwb2-zddl/reg.html?a=1&";
    SlotValues slots{{"LoginPageUrl", "http://" + m_server.HostPort() + page}};
    for (const char* slot : {"ClientStatHost", "DeviceStatHost", "EventStatHost", "OnlineStatHost", "PortalHost"}) {
        slots.push_back({slot, hung.HostPort()});
    }
    const std::wstring client = MakeClient(InstallFolder() + L"\\E2eDoln.exe", slots);
    auto hungTargets = [&](const std::string& prefix) {
        const auto targets = hung.Targets();
        return std::count_if(targets.begin(), targets.end(), [&](const std::string& t) { return StartsWith(t, prefix); });
    };
    bool pageSeen = false, iconAsked = false;
    int givenUpAtPage = -1;
    std::vector<std::string> hungAtPage;
    const RunResult run = RunClient(client, L"", AtLoginFace([&](HWND, DWORD) {
        pageSeen = PumpUntil(20000, [&] {
            const auto targets = m_server.Targets();
            return std::any_of(targets.begin(), targets.end(), [&](const std::string& t) { return StartsWith(t, "/doln/"); });
        });
        givenUpAtPage = hung.GivenUp();
        hungAtPage = hung.Targets();
        iconAsked = PumpUntil(20000, [&] { return hungTargets(kIconDescription) > 0; });
    }));
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(run.sawLoginFace);
    EXPECT_TRUE(pageSeen);
    EXPECT_EQ(givenUpAtPage, 0) << "the start waited for a hung server before its face";
    EXPECT_TRUE(std::any_of(hungAtPage.begin(), hungAtPage.end(), [](const std::string& t) { return StartsWith(t, kOpenEvent); }));
    EXPECT_TRUE(iconAsked);
    EXPECT_EQ(hungTargets(kIconDescription), 1);
}
