#include "app/startup_hooks_win.h"

#include "app/crash_dump_win.h"
#include "app/statistics_win.h"
#include "browser/corvane3_dlg_win.h"
#include "fw/win_app_win.h"

void InstallCrashFilter() { InstallCrashDumpFilter(); }

void RunInstallStep() {
    // The install step goes here: folders, copy, shortcuts, registry, icon.
}

void RunUninstallStep(const std::shared_ptr<CBeaconEvents>& events) {
    // The removal of the installed client and its final message go here.
    // The statistics are already live, so the start-up's wait after this
    // step ends when the beacon does.
    SendUninstallCount(events);
}

void RefreshDesktopIcon() {
    // The desktop-icon refresh goes here.
}

void SetCacheLimit() {
    // The browser cache limit goes here.
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
