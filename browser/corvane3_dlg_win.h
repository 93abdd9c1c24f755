#pragma once

// CCorvane3Dlg: the client's main window. With no game page open it shows
// its login face: the frame itself shrunk to a pixel and the login window
// centred on the desktop. Each login (WM_COPYDATA from the login page) opens
// a game page; up to three pages share the frame under a strip of tabs, with
// tool buttons, a tool menu, a tray icon and the current account's label.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/after_face_work.h"
#include "app/beacon_sender_win.h"
#include "browser/game_wnd_win.h"
#include "browser/login_text.h"
#include "browser/press_throttle.h"
#include "fw/handles_win.h"
#include "fw/image_list_win.h"
#include "fw/paint_canvas_win.h"
#include "fw/tooltip_win.h"
#include "app/update_query_win.h"
#include "login/login_bk_dlg_win.h"
#include "shot/screen_shot_win.h"
#include "tools/keyboard_hook_win.h"
#include "ui/btn_ex_win.h"
#include "ui/dlg_ex_win.h"
#include "ui/static_ex_win.h"

// The frame's own messages.
inline constexpr UINT kMsgTrayIcon = WM_USER + 1;
inline constexpr UINT kMsgPageCreated = WM_USER + 2;
inline constexpr UINT kMsgTrayMenu = WM_USER + 3;
inline constexpr UINT kMsgAnotherPage = WM_USER + 6;
// The update check's answer from its worker (app/update_query_win.h).
inline constexpr UINT kMsgUpdateAnswer = WM_USER + 24;
// Posted to itself once the login face shows: the modal loop runs it after
// the face is made.
inline constexpr UINT kMsgLoginFaceShown = WM_APP + 1;

// Timer ids: the mute flag applied every 400 ms, "RunningTime" every minute.
inline constexpr UINT_PTR kTimerMute = 3;
inline constexpr UINT_PTR kTimerRunningTime = 8;

class CCorvane3Dlg : public CDlgEx, public IHotkeyTarget {
public:
    CCorvane3Dlg();
    ~CCorvane3Dlg() override;

    // Starts decoding the login face's picture on a worker
    // (ui/image_preload_win.h); start-up calls it as early as it can.
    static bool PreloadSkins();

    BOOL PreTranslateMessage(MSG* msg) override;

    // IHotkeyTarget
    int GamePageCount() const override { return static_cast<int>(m_titles.size()); }
    void ToggleHide() override;
    void ToggleMute() override { m_bMute = !m_bMute; }

    // Shows `page` over the page area and hides every other page; with no
    // page, hides them all.
    void ShowPage(HWND page);
    void SwitchToNextPage();
    void ForceForeground();
    // Leaves the client: online-time beacons of every page, pages closed,
    // tray icon removed, then the quit message (exit code 0).
    void ExitClient();
    void ClosePage(int index);
    void CloseAllPages();

    CLoginBkDlg& LoginBackground() { return m_loginBk; }
    size_t PageCount() const { return m_titles.size(); }
    int CurrentPage() const { return m_nCurPage; }
    HWND PageWindow(size_t index) const { return m_pages[index]->m_hWnd; }
    CGameWnd& Page(size_t index) { return *m_pages[index]; }
    const std::wstring& PageTitle(size_t index) const { return m_titles[index]; }
    BOOL IsMuted() const { return m_bMute; }
    const std::wstring& AccountText() const { return m_staticAccount.m_strText; }
    // The settings dialog of the tool menu while it runs, so that the boss
    // key can close it.
    CDialog* m_pSettingDlg = nullptr;
    // The start's work that waits for the login face (owned by the start-up);
    // started when the face first shows.
    CAfterFaceWork* m_pAfterFace = nullptr;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
    BOOL OnCopyData(HWND from, COPYDATASTRUCT* data);
    LRESULT OnTrayIcon(WPARAM wp, LPARAM lp);
    LRESULT OnPageCreated(WPARAM wp, LPARAM lp);
    LRESULT OnTrayMenu(WPARAM wp, LPARAM lp);
    LRESULT OnReloadHotkeys(WPARAM wp, LPARAM lp);
    LRESULT OnAnotherPage(WPARAM wp, LPARAM lp);
    LRESULT OnUpdateAnswer(WPARAM wp, LPARAM lp);
    LRESULT OnLoginFaceShown(WPARAM wp, LPARAM lp);
    LRESULT OnHotkey(WPARAM wp, LPARAM lp);
    LRESULT OnSysCommand(WPARAM wp, LPARAM lp);
    LRESULT OnWindowPosChanging(WPARAM wp, LPARAM lp);
    LRESULT OnNcMouseLeave(WPARAM wp, LPARAM lp);
    LRESULT OnNcLButtonUp(WPARAM wp, LPARAM lp);
    LRESULT OnNcMButtonUp(WPARAM wp, LPARAM lp);
    void OnTimer(UINT_PTR id);
    BOOL OnEraseBkgnd(HDC dc);
    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnNcHitTest(POINT point);
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, POINT point);
    void OnNcLButtonDown(UINT hitTest, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    void OnNcLButtonDblClk(UINT hitTest, POINT point);
    LRESULT OnMButtonUp(WPARAM wp, LPARAM lp);
    LRESULT OnPictureSourceChanged(WPARAM wp, LPARAM lp);
    void OnCommandId(UINT id);

    // Publishes the open page count and shows the login window centred on
    // the desktop.
    void ShowLoginFace();

    // The window the frame's questions stand over (ui/box_placement_win.h).
    HWND BoxOwner();

    // Seams: the frame's outside actions, replaced by tests.
    virtual int AskUser(UINT style, const std::wstring& text);
    virtual void OpenWebShortcut(const std::wstring& url);
    virtual UINT TrackMenu(HMENU menu, UINT flags, int x, int y, HWND owner);

private:

    // Everything the frame's picture is drawn from besides its title and
    // icon, which only change through WM_SETTEXT and WM_SETICON: a repaint
    // with the same inputs copies the picture of the last one instead of
    // drawing it again.
    struct PictureInputs {
        int width = 0;
        int height = 0;
        HBITMAP skin = nullptr;
        std::vector<std::wstring> tabTitles;
        int currentPage = 0;
        int hoverTab = -1;
        int closeState = -1;
    };
    bool PictureIsCurrent(int width, int height) const;
    PictureInputs CurrentPictureInputs(int width, int height) const;
    void DrawPicture(HDC dc);

    // The frame stays a pixel behind the login face until its first page:
    // its skins decode on a worker once the face shows, and its controls are
    // made and set up with them at the first login, each at its place in the
    // layout for the frame's width at that moment. Every later change of
    // width lays them out again; until the first login there is nothing to
    // lay out.
    void EnsureControls();
    void CreateControls(int cx);
    void SetupControls();
    void LayoutControls(int cx);
    void SetAccountText(const std::wstring& label);
    void MoveNewPageButton();
    void ResetHover();
    void RepaintTab(int index);
    void RepaintCloseButton(int index);
    void RepaintStrip(const RECT& r);
    void PressInTabArea(POINT client);
    void ReleaseInTabArea(POINT client);
    void AddTrayIcon();
    void DeleteTrayIcon();
    void RemovePage(size_t index);
    void SendPageBeacons(size_t index, bool closeEvent);
    void RepaintPageDocument();
    void RunMenuItem(UINT item);
    void ShowToolMenu();
    void RunSettings();
    void RunUpdate();
    void RestartForUpdateAndExit();
    void RunWebShortcut(UINT id);
    void OpenScreenShot();

    fw::ScopedIcon m_hIcon;
    CBtnEx m_btnBoss;
    CBtnEx m_btnTool;
    CBtnEx m_btnSound;
    CBtnEx m_btnNewPage;
    CBtnEx m_btnWeb[6];
    CStaticEx m_staticAccount;
    BOOL m_bMute = FALSE;
    OSVERSIONINFOW m_osVersion{};
    std::vector<std::unique_ptr<CGameWnd>> m_pages;
    std::vector<std::wstring> m_titles;
    std::vector<uint32_t> m_startTicks;
    std::vector<PageRecord> m_records;
    CImageList m_tabImages;
    CImageList m_closeImages;
    int m_nCurPage = 0;
    int m_nHoverTab = -1;
    int m_nCloseState = -1;
    BOOL m_bTipActive = FALSE;
    CToolTipCtrl m_tip;
    BOOL m_bMouseTracked = FALSE;
    BOOL m_bInstallFlag = FALSE;
    CScreenShot m_screenShot;  // its windows are made at the first opening
    CLoginBkDlg m_loginBk;
    CUpdateQuery m_updateQuery;

    // Images the buttons show; each button keeps its own copy.
    fw::ScopedBitmap m_bmpClose;
    fw::ScopedBitmap m_bmpMin;
    fw::ScopedBitmap m_bmpMax;
    fw::ScopedBitmap m_bmpRestore;
    fw::ScopedBitmap m_bmpSoundOn;
    fw::ScopedBitmap m_bmpSoundOff;
    fw::ScopedBitmap m_bmpAccount;
    std::vector<fw::ScopedBitmap> m_bmpButtons;

    BOOL m_bAppliedMute;  // the opposite of m_bMute until the first tick
    BOOL m_bSoundImageMuted = FALSE;
    bool m_trayAdded = false;
    BOOL m_bPagesShown = FALSE;  // the frame shows its pages face
    bool m_controlsSetUp = false;
    int m_nRunningTime = 0;
    int m_nLastWidth = -1;
    CPressThrottle m_newPageThrottle{1500};
    // The off-screen picture of the client area, kept between paints: the
    // controls' background requests and uncovering repaints copy from it.
    fw::CanvasStore m_picture;
    std::optional<PictureInputs> m_pictureInputs;
    std::shared_ptr<CBeaconEvents> m_events;
    // The page count as the keyboard hook's thread reads it.
    std::atomic<int> m_hookPages{0};
};
