#include "app/startup_hooks_win.h"

#include "app/crash_dump_win.h"
#include "app/ctrl_block.h"
#include "app/icon_refresh_win.h"
#include "app/ini_win.h"
#include "app/install_step_win.h"
#include "app/machine_roads_win.h"
#include "app/message_box_win.h"
#include "app/settings_store_win.h"
#include "app/uninstall_win.h"
#include "app/statistics_win.h"
#include "browser/corvane3_dlg_win.h"
#include "browser/flash_bk_win.h"
#include "fw/handles_win.h"
#include "fw/win_app_win.h"
#include "ui/image_preload_win.h"

void InstallCrashFilter() { InstallCrashDumpFilter(); }

namespace {

void ShowNotice(const std::wstring& text) { ShowMessageBox(0, TheCtrlBlock().TitleName(), text); }

}  // namespace

bool RunInstallStep() { return RunInstallRoad(SystemElevation(), TheCtrlBlock(), ModulePath(), &ShowNotice); }

bool RunUninstallStep(const std::shared_ptr<CBeaconEvents>& events) {
    if (!RunUninstallRoad(SystemElevation(), TheCtrlBlock(), ModulePath(), &ShowNotice)) return false;
    // The start-up's wait after this step ends when this beacon does.
    SendUninstallCount(events);
    return true;
}

int RunElevatedCopyWork(const std::vector<std::wstring>& args) {
    return RunElevatedWork(args, TheCtrlBlock(), ModulePath(), &ShowNotice);
}

void RefreshDesktopIcon() {
    CSettings settings = AppSettings();
    FollowIconDescription(TheCtrlBlock(), ModulePath(), TheCtrlBlock().PortalHost(), settings);
}

bool RunLogoWindow() {
    // The logo window's mutex is held until the process ends.
    static fw::ScopedKernelHandle logoMutex;
    // The window undoes its own OLE initialisation when it goes; undoing it
    // here as well would take the start-up's away from the main frame's
    // browser.
    CFlashBK logo;
    CWinApp* app = AfxGetApp();
    if (app != nullptr) app->m_pMainWnd = &logo;
    logo.DoModal();
    if (app != nullptr) app->m_pMainWnd = nullptr;
    if (logo.OtherLogoRuns()) return false;
    logoMutex = logo.TakeInstanceMutex();
    return true;
}

void PreloadMainFrameSkins() { CCorvane3Dlg::PreloadSkins(); }

void ReleasePreloadedSkins() { FinishImagePreload(); }

void RunMainFrame(CAfterFaceWork& afterFace) {
    CCorvane3Dlg frame;
    frame.m_pAfterFace = &afterFace;
    CWinApp* app = AfxGetApp();
    if (app != nullptr) app->m_pMainWnd = &frame;
    frame.DoModal();
    if (app != nullptr) app->m_pMainWnd = nullptr;
}
