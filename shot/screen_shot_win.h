#pragma once

// CScreenShot: the screenshot tool's full-screen overlay. It freezes the
// primary screen, shows it dimmed and takes the mouse: a drag (or a click,
// for the whole screen) shows the selection zone, which the toolbar and the
// magnifier accompany. The main frame holds one for the whole run; its
// windows are made at the first opening and afterwards only shown and hidden.

#include <windows.h>

#include <functional>
#include <string>

#include "fw/dialog_win.h"
#include "fw/handles_win.h"
#include "shot/real_shot_zone_win.h"
#include "shot/screen_capture_win.h"
#include "shot/shot_opera_win.h"
#include "shot/shot_zoom_win.h"

class CScreenShot : public CDialog {
public:
    // The save request the toolbar posts.
    static constexpr UINT kMsgSave = WM_USER + 9;

    // Takes the screen size now: a later change of resolution is seen by the
    // next client, not by this one.
    CScreenShot();
    ~CScreenShot() override;

    // The main frame's screenshot command: unless the overlay is showing,
    // makes its windows the first time and shows it over a fresh capture.
    void Open();
    // Hides the overlay, the zone, the magnifier and the toolbar, and frees
    // the capture.
    void Close();

    // Asks for the file name of a save, as the system's save dialog does;
    // false when the user cancelled. Replaceable so that tests can answer.
    using FileChooser = std::function<bool(HWND owner, std::wstring& name)>;
    void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    int m_nScreenWidth;
    int m_nScreenHeight;
    CScreenCapture m_capture;
    POINT m_ptPress{};
    POINT m_ptRelease{};
    BOOL m_bDragging = FALSE;
    fw::ScopedIcon m_cursor;
    CRealShotZone m_zone;
    CShotZoom m_zoom;
    CShotOpera m_opera;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { Close(); }

    DECLARE_MESSAGE_MAP()
    BOOL OnEraseBkgnd(HDC dc);
    void OnLButtonDown(UINT flags, POINT point);
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnRButtonUp(UINT flags, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    void OnShowWindow(BOOL show, UINT status);
    LRESULT OnSaveRequest(WPARAM, LPARAM);

private:
    void PlaceToolbar();

    FileChooser m_chooseFile;
};
