#pragma once

// CLoginBkDlg: the visible body of the login window, a borderless window
// painted with the login skin's per-pixel alpha. The login page lies over it
// as a colour-keyed window of its own; this window moves, shows and hides
// the page with itself and lets the user drag the whole login window.

#include "fw/dialog_win.h"
#include "login/login_dlg_win.h"

class CLoginBkDlg : public CDialog {
public:
    CLoginBkDlg();
    ~CLoginBkDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    CLoginDlg& LoginPage() { return m_loginDlg; }
    SIZE ImageSize() const { return SIZE{m_nWidth, m_nHeight}; }

protected:
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
    void OnLButtonDown(UINT flags, POINT point);
    void OnWindowPosChanged(WINDOWPOS* position);
    void OnShowWindow(BOOL show, UINT status);

private:
    void PaintLayered();

    int m_nWidth = 0;
    int m_nHeight = 0;
    CLoginDlg m_loginDlg;
};
