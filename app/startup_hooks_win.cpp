#include "app/startup_hooks_win.h"

#include "app/crash_dump_win.h"
#include "app/ctrl_block.h"
#include "app/icon_refresh_win.h"
#include "app/ini_win.h"
#include "app/install_step_win.h"
#include "app/message_box_win.h"
#include "app/settings_store_win.h"
#include "app/uninstall_win.h"
#include "app/statistics_win.h"
#include "browser/corvane3_dlg_win.h"
#include "fw/win_app_win.h"

void InstallCrashFilter() { InstallCrashDumpFilter(); }

void RunInstallStep() { InstallProgram(TheCtrlBlock(), ModulePath()); }

void RunUninstallStep(const std::shared_ptr<CBeaconEvents>& events) {
    CSettings settings = AppSettings();
    UninstallProgram(TheCtrlBlock(), ModulePath(), settings);
    // The start-up's wait after this step ends when this beacon does.
    SendUninstallCount(events);
    const std::wstring title = TheCtrlBlock().TitleName();
    ShowMessageBox(0, title, UninstalledText(title));
}

void RefreshDesktopIcon() {
    CSettings settings = AppSettings();
    FollowIconDescription(TheCtrlBlock(), ModulePath(), TheCtrlBlock().PortalHost(), settings);
}

void RunLogoWindow() {
    // The logo window goes here: it initialises OLE, runs modally and, once
    // destroyed, undoes the OLE initialisation.
}

void RunMainFrame() {
    CCorvane3Dlg frame;
    CWinApp* app = AfxGetApp();
    if (app != nullptr) app->m_pMainWnd = &frame;
    frame.DoModal();
    if (app != nullptr) app->m_pMainWnd = nullptr;
}
