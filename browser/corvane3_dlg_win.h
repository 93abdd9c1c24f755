#pragma once

// CCorvane3Dlg: the client's main window. With no game page open it shows
// its login face: the frame itself shrunk to a pixel and the login window
// centred on the desktop. Logins reach it from the login page as WM_COPYDATA
// carrying the login text.

#include <string>
#include <vector>

#include "fw/handles_win.h"
#include "login/login_bk_dlg_win.h"
#include "ui/dlg_ex_win.h"

class CCorvane3Dlg : public CDlgEx {
public:
    CCorvane3Dlg();
    ~CCorvane3Dlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // Leaves the client: posts the quit message (exit code 0).
    void ExitClient();

    CLoginBkDlg& LoginBackground() { return m_loginBk; }
    size_t PageCount() const { return m_titles.size(); }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    DECLARE_MESSAGE_MAP()
    BOOL OnCopyData(HWND from, COPYDATASTRUCT* data);

    // Publishes the open page count and shows the login window centred on
    // the desktop.
    void ShowLoginFace();

private:
    fw::ScopedIcon m_hIcon;
    fw::ScopedBitmap m_bmpClose;
    fw::ScopedBitmap m_bmpMin;
    std::vector<std::wstring> m_titles;  // one label per open game page
    CLoginBkDlg m_loginBk;
};
