#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <string>

#include "app/ini_win.h"
#include "app/settings_store_win.h"
#include "tests/e2e/client_run_win.h"
#include "tests/win/loopback_server_win.h"
#include "tests/win/test_files_win.h"

// "/Logo" starts of the client. Wine's desktop has no list view of desktop
// items, so the logo window finds no icon: it ends on its first tick and the
// start goes on to the main frame, as it does on a machine whose user has
// removed the shortcut.

namespace {

constexpr char kShortName[] = "E2eLogo";
constexpr wchar_t kMutexName[] = L"E2eLogo";

const std::string kOpenEvent = "/_regevent.gif?event=100&";

// The logo window: a layered tool-window dialog of the process.
HWND FindLogo(DWORD processId) {
    return FindWindowOfProcess(processId, [](HWND window) {
        const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
        return ClassOf(window) == L"#32770" && (exStyle & WS_EX_LAYERED) != 0 && (exStyle & WS_EX_TOOLWINDOW) != 0 &&
               !IsMainFrame(window);
    });
}

class LogoEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        SHCreateDirectoryExW(nullptr, (CommonAppDataFolder() + L"\\7251\\GameLogin").c_str(), nullptr);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"corvane_logo_e2e";
        SHCreateDirectoryExW(nullptr, m_folder.c_str(), nullptr);
        m_client = m_folder + L"\\Logo2.exe";
        ASSERT_TRUE(m_image.Write(m_client, LoopbackSlots(m_server.HostPort(), kShortName)));
        // An earlier build's movie: a build without one leaves none behind.
        std::ofstream((m_folder + L"\\Logo.swf").c_str()) << "stale";
    }
    void TearDown() override {
        DeleteFileW(m_client.c_str());
        DeleteFileW((m_folder + L"\\Logo.swf").c_str());
        RemoveDirectoryW(m_folder.c_str());
        WritePrivateProfileStringW(L"E2eLogo", nullptr, nullptr, SettingsFilePath().c_str());
    }

    CClientImage m_image;
    CWinLoopbackServer m_server;
    std::wstring m_folder;
    std::wstring m_client;
};

TEST_F(LogoEndToEnd, ShowsTheLogoWindowFirstThenTheLoginFace) {
    HWND logo = nullptr;
    bool frameWithLogo = false;
    const RunResult run = RunClient(m_client, L"/Logo", EveryPoll([&](DWORD processId) {
        const HWND frame = FindWindowOfProcess(processId, IsMainFrame);
        if (frame == nullptr && logo == nullptr) logo = FindLogo(processId);
        if (frame != nullptr && logo != nullptr && IsWindow(logo)) frameWithLogo = true;
    }));
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(logo, nullptr);
    EXPECT_FALSE(frameWithLogo);  // the logo had gone when the frame came
    EXPECT_TRUE(run.sawLoginFace);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_FALSE(Exists(m_folder + L"\\Logo.swf"));
    m_server.WaitForRequests(1, 10000);
    const auto targets = m_server.Targets();
    ASSERT_FALSE(targets.empty());
    EXPECT_EQ(targets[0].rfind(kOpenEvent, 0), 0u) << targets[0];
}

TEST_F(LogoEndToEnd, EndsAtOnceWhileAnotherLogoWindowRuns) {
    HANDLE other = CreateMutexW(nullptr, TRUE, kMutexName);
    ASSERT_NE(other, nullptr);
    const DWORD start = GetTickCount();
    const RunResult run = RunClient(m_client, L"/logo");
    const DWORD took = GetTickCount() - start;
    ReleaseMutex(other);
    CloseHandle(other);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(run.sawLoginFace);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_LT(took, 20000u);
    // The open event went out before the logo window, and nothing after it.
    m_server.WaitForRequests(1, 10000);
    Sleep(300);
    const auto targets = m_server.Targets();
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].rfind(kOpenEvent, 0), 0u) << targets[0];
}

}  // namespace
