#pragma once

#include <memory>
#include <string>

#include "app/after_face_work.h"
#include "app/beacon_sender_win.h"
#include "app/start_mode.h"
#include "fw/win_app_win.h"
#include "net/update_dialog_win.h"

class CCorvane3App : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    // Defaults that the game page hands to the favourites dialog; empty.
    const std::wstring& FavouriteName() const { return m_favouriteName; }
    const std::wstring& FavouriteAddress() const { return m_favouriteAddress; }

    // The beacon events, shared with the beacon threads.
    const std::shared_ptr<CBeaconEvents>& BeaconEvents() const { return m_events; }

    // The self-update dialog: one for the life of the process, each DoModal
    // one download.
    CPrgsDlg& UpdateDialog() { return m_dlgUpdate; }

private:
    void RunUninstall();
    void RunFirstRun();
    void OpenClient(StartMode mode);

    std::wstring m_title;  // the build's TitleName, caption of every box and window
    std::wstring m_favouriteName;
    std::wstring m_favouriteAddress;
    std::shared_ptr<CBeaconEvents> m_events;
    CAfterFaceWork m_afterFace;
    ULONG_PTR m_gdiplusToken = 0;
    bool m_gdiplusStarted = false;
    int m_exitCode = 0;  // the elevated copy's answer to the process that waits for it
    CPrgsDlg m_dlgUpdate;
};
