#include "app/corvane_app_win.h"

#include <windows.h>

#include <commctrl.h>
// GDI+ needs the COM property types that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
#include <gdiplus.h>
#include <wininet.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "app/ctrl_block.h"
#include "app/ini_win.h"
#include "app/install_step_win.h"
#include "app/message_box_win.h"
#include "app/process_state.h"
#include "app/settings_store_win.h"
#include "app/startup_hooks_win.h"
#include "app/statistics_win.h"
#include "app/update_apply.h"
#include "app/update_start_win.h"
#include "fw/com_util_win.h"
#include "net/http_get_win.h"

CCorvane3App theApp;

namespace {

constexpr wchar_t kNoNetworkText[] = L"当前网络不可用，请检查网络连接是否正常！";
constexpr wchar_t kRemoveQuestion[] = L"确定要移除 %s 吗？";
constexpr size_t kRemoveQuestionChars = 64;

// A beacon still in flight when the process ends gets this long to finish:
// its connect, send and receive time-outs.
constexpr DWORD kBeaconDrainMs = 3 * kHttpGetTimeoutMs;
// The desktop-icon refresh's two socket waits and its pause for the desktop.
constexpr DWORD kAfterFaceDrainMs = 10000;

std::vector<std::wstring> CommandLineArgs() {
    std::vector<std::wstring> args;
    for (int i = 0; i < __argc; ++i) args.emplace_back(__wargv[i] != nullptr ? __wargv[i] : L"");
    return args;
}

std::wstring RemoveQuestion(const std::wstring& title) {
    wchar_t text[kRemoveQuestionChars] = {};
    // A title too long for the box's buffer is cut rather than dropped.
    _snwprintf(text, kRemoveQuestionChars - 1, kRemoveQuestion, title.c_str());
    return text;
}

}  // namespace

BOOL CCorvane3App::InitInstance() {
    InstallCrashFilter();

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    // OLE for the hosted browser and player controls, once for the process.
    AfxEnableControlContainer();

    const CCtrlBlock& block = TheCtrlBlock();
    m_title = block.TitleName();
    const std::vector<std::wstring> args = CommandLineArgs();
    // The elevated copy does only the machine's part it was started for:
    // no network, no beacons, no client.
    if (const int work = RunElevatedCopyWork(args); work >= 0) {
        m_exitCode = work;
        return FALSE;
    }
    if (args.size() > 1 && _wcsicmp(args[1].c_str(), kReplaceSwitch) == 0) {
        m_exitCode = RunElevatedReplaceStart(std::span<const std::wstring>(args).subspan(2));
        return FALSE;
    }
    m_dlgUpdate.m_strUpdateDomains = block.UpdateDomains();
    // Before the command line is looked at: no start, uninstall included,
    // runs without a network.
    if (!InternetCheckConnectionW(block.ProbeUrl().c_str(), FLAG_ICC_FORCE_CONNECTION, 0)) {
        ShowMessageBox(0, m_title, kNoNetworkText);
        return FALSE;
    }

    const StartRequest request = DecideStartMode(args, block.LaunchSwitch(), ModulePath(), CommonAppDataFolder());
    if (request.mode == StartMode::NewGameStart || request.mode == StartMode::HallStart) {
        TheHallWindow() = request.hallWindow;
    }
    if (request.mode == StartMode::NewGameStart) ThePendingGameAddress() = request.gameAddress;

    m_events = CBeaconEvents::Create();
    if (!m_events) return FALSE;

    if (request.mode == StartMode::UninstallStart) {
        RunUninstall();
        return FALSE;
    }

    Gdiplus::GdiplusStartupInput input;
    m_gdiplusStarted = Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) == Gdiplus::Ok;
    // The login face's picture decodes on the other core while the start-up
    // waits on the network and makes its windows.
    const bool showsFrame = block.IsFlagSet(0) || request.mode != StartMode::FirstRun;
    if (m_gdiplusStarted && showsFrame) PreloadMainFrameSkins();

    // The new program, once in place, starts in this one's place.
    if (request.mode == StartMode::UpdateStart && RunUpdateStart(m_dlgUpdate, m_title)) return FALSE;

    if (block.IsFlagSet(0)) {
        SendActiveStatistics(m_events);
    } else if (request.mode == StartMode::FirstRun) {
        RunFirstRun();
        return FALSE;
    } else if (request.mode == StartMode::ShortcutStart || request.mode == StartMode::InstalledStart) {
        SendActiveStatistics(m_events);
        // Nothing the face needs comes from the portal's answer, and a
        // portal that never answers would hold the face for the refresh's
        // whole time-out.
        m_afterFace.RunAfterLoginFace([] { RefreshDesktopIcon(); });
    }
    RemoveUpdateLeftovers();
    OpenClient(request.mode);
    return FALSE;
}

void CCorvane3App::RunUninstall() {
    if (ShowMessageBox(MB_YESNO, m_title, RemoveQuestion(m_title)) != IDYES) return;
    SendDeviceBeacon(DeviceBeacon::Uninstall, m_events);
    m_events->WaitDoneAndReset();
    SendEventBeacon(beacon_event::kUninstall, beacon_event::kUninstallName, BlockChannel(TheCtrlBlock()), m_events);
    m_events->WaitDoneAndReset();
    if (!RunUninstallStep(m_events)) return;
    WaitForSingleObject(m_events->Done(), INFINITE);
}

void CCorvane3App::RunFirstRun() {
    // Nothing installed, nothing to report.
    if (!RunInstallStep()) return;
    SendDeviceBeacon(DeviceBeacon::Install, m_events);
    m_events->WaitDoneAndReset();
    SendEventBeacon(beacon_event::kInstall, beacon_event::kInstallName, InstallEventChannel(), m_events);
    m_events->WaitDoneAndReset();
    SendInstallCount(m_events);
    WaitForSingleObject(m_events->Done(), INFINITE);
}

void CCorvane3App::OpenClient(StartMode mode) {
    SetCacheLimit();
    // The beacon's thread holds its own copy of what it sends once this
    // returns: that is all the face waits for. Its answer, which a sick
    // statistics host may never give, is the exit's to wait for.
    SendEventBeacon(beacon_event::kOpen, beacon_event::kOpenName, BlockChannel(TheCtrlBlock()), m_events);
    if (mode == StartMode::LogoStart && !RunLogoWindow()) return;
    RunMainFrame(m_afterFace);
}

int CCorvane3App::ExitInstance() {
    // A refresh cut off while it rewrites the shortcuts would leave none.
    m_afterFace.WaitIdle(std::chrono::milliseconds(kAfterFaceDrainMs));
    if (m_events) {
        m_events->WaitIdle(kBeaconDrainMs);
        m_events.reset();
    }
    if (m_gdiplusStarted) {
        ReleasePreloadedSkins();
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
        m_gdiplusStarted = false;
    }
    CWinApp::ExitInstance();
    return m_exitCode;
}
