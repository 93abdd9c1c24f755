#include "browser/corvane3_dlg_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <thread>

#include "app/beacon_urls.h"
#include "app/ctrl_block.h"
#include "app/gui_object_count_win.h"
#include "app/message_box_win.h"
#include "app/process_state.h"
#include "app/settings_store_win.h"
#include "app/statistics_win.h"
#include "browser/desktop_tools_win.h"
#include "browser/frame_urls.h"
#include "browser/page_label.h"
#include "browser/tab_strip.h"
#include "login/login_dlg_win.h"
#include "net/http_get_win.h"
#include "net/update_check_win.h"
#include "res/resource.h"
#include "tools/hotkey_store_win.h"
#include "tools/setting_dlg_win.h"
#include "tools/sound_mute_win.h"
#include "ui/image_loader_win.h"
#include "ui/image_preload_win.h"

namespace {

constexpr int kOpenEvent = 305;
constexpr std::wstring_view kOpenEventName = L"游戏框";
constexpr int kCloseEvent = 306;
constexpr std::wstring_view kCloseEventName = L"关闭游戏框";
constexpr int kRunningTimeLastWrite = 15;

RECT ToRect(const tabs::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

bool IsCtrlD(const MSG& msg) {
    return msg.message == WM_CHAR && msg.wParam == 4 && msg.lParam >= 0x200000 && msg.lParam <= 0x20FFFF;
}

struct ButtonImage {
    int id;
    UINT image;
    bool hand;
};
constexpr ButtonImage kButtonImages[] = {
    {tabs::id::kBoss, IDP_BOSS, false},       {tabs::id::kToolMenu, IDP_TOOL_MENU, false},
    {tabs::id::kNewPage, IDP_NEW_PAGE, true}, {tabs::id::kRefresh, IDP_REFRESH, false},
    {tabs::id::kScreenshot, IDP_SCREENSHOT, false}, {tabs::id::kService, IDP_SERVICE, true},
    {tabs::id::kNoviceCard, IDP_NOVICE, true}, {tabs::id::kPay, IDP_PAY, true},
    {tabs::id::kMessages, IDP_MESSAGES, true},
};

// The frame's controls, in tab order, with the styles a dialog template's
// PUSHBUTTON, LTEXT and DEFPUSHBUTTON give. They are made at the first login:
// until then the frame is a pixel behind the login face, and making them
// with the frame held that face up. Every one but the hidden default button
// is made at its place in the layout for the frame's width, so that the
// skinned controls set up over them start at their real sizes.
struct FrameControl {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;
};
constexpr DWORD kShownPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr FrameControl kFrameControls[] = {
    {tabs::id::kBoss, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kToolMenu, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kSound, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kRefresh, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kScreenshot, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kMessages, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kPay, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kNoviceCard, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kService, WC_BUTTONW, L"", kShownPush},
    {tabs::id::kNewPage, WC_BUTTONW, L"+", kShownPush},
    {tabs::id::kAccountLabel, WC_STATICW, L"", WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOTIFY},
    {IDOK, WC_BUTTONW, L"", WS_TABSTOP | BS_DEFPUSHBUTTON},
};

// SetupControls' skins besides the buttons'.
constexpr UINT kFrameImages[] = {IDP_CLOSE, IDP_MIN, IDP_FRAME_MAIN, IDP_MAX, IDP_RESTORE,
                                 IDP_SOUND_ON, IDP_SOUND_OFF, IDP_ACCOUNT, IDP_TABS, IDP_TAB_CLOSE};

WebShortcut ShortcutOf(UINT id) {
    switch (id) {
        case tabs::id::kService: return WebShortcut::Service;
        case tabs::id::kNoviceCard: return WebShortcut::NoviceCard;
        case tabs::id::kPay: return WebShortcut::Pay;
        case tabs::id::kMessages: return WebShortcut::Messages;
        default: return WebShortcut::UserInfo;
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(CCorvane3Dlg, CDlgEx)
    ON_WM_COPYDATA()
    ON_MESSAGE(kMsgTrayIcon, OnTrayIcon)
    ON_MESSAGE(kMsgPageCreated, OnPageCreated)
    ON_MESSAGE(kMsgTrayMenu, OnTrayMenu)
    ON_MESSAGE(kMsgReloadHotkeys, OnReloadHotkeys)
    ON_MESSAGE(kMsgAnotherPage, OnAnotherPage)
    ON_MESSAGE(kMsgUpdateAnswer, OnUpdateAnswer)
    ON_MESSAGE(kMsgLoginFaceShown, OnLoginFaceShown)
    ON_MESSAGE(kMsgHotkey, OnHotkey)
    ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
    ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
    ON_MESSAGE(WM_NCMOUSELEAVE, OnNcMouseLeave)
    ON_MESSAGE(WM_NCLBUTTONUP, OnNcLButtonUp)
    ON_MESSAGE(WM_NCMBUTTONUP, OnNcMButtonUp)
    ON_MESSAGE(WM_MBUTTONUP, OnMButtonUp)
    ON_MESSAGE(WM_SETTEXT, OnPictureSourceChanged)
    ON_MESSAGE(WM_SETICON, OnPictureSourceChanged)
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_NCHITTEST()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_NCLBUTTONDBLCLK()
    ON_COMMAND_RANGE(tabs::id::kBoss, tabs::id::kAccountLabel, OnCommandId)
END_MESSAGE_MAP()

CCorvane3Dlg::CCorvane3Dlg() : CDlgEx(IDD_MAIN_FRAME), m_bAppliedMute(!m_bMute), m_events(CBeaconEvents::Create()) {}

CCorvane3Dlg::~CCorvane3Dlg() {
    RemoveKeyboardHook();
    DeleteTrayIcon();
    m_pages.clear();
    // The login window is owned by the frame: it goes first.
    if (m_loginBk.m_hWnd != nullptr) m_loginBk.DestroyWindow();
    // A page's beacons still in flight get their few seconds.
    if (m_events) m_events->WaitIdle(kHttpGetTimeoutMs);
}

BOOL CCorvane3Dlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    m_osVersion.dwOSVersionInfoSize = sizeof(m_osVersion);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&m_osVersion);
#pragma GCC diagnostic pop

    ModifyStyle(0, WS_CLIPCHILDREN);
    // Other clients of this build find this one by its title (the hotkey
    // settings' reload), and the taskbar names it by it, from the login face on.
    SetTitle(TheCtrlBlock().TitleName());
    MoveWindow(0, 0, 1, 1);
    m_loginBk.Create(IDD_EMPTY_POPUP, this);
    ShowLoginFace();
    // What the login face does not need comes after it. The frame itself is
    // shown only when this returns, and the hook's posts wait for the modal
    // loop (and no page is open yet), so icons and hotkeys are in place
    // before anyone can see or press them.
    m_hIcon.Reset(static_cast<HICON>(
        ::LoadImageW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.Get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon.Get()));
    LoadHotkeys();
    InstallKeyboardHook(m_hWnd, &m_hookPages);
    // The frame's own skins wait until the face is up, so that decoding them
    // does not hold it up; the first login takes them.
    std::vector<ImageRequest> images;
    for (UINT id : kFrameImages) images.push_back({id, ImageKind::Keyed});
    for (const ButtonImage& button : kButtonImages) images.push_back({button.image, ImageKind::Keyed});
    StartImagePreload(fw::ResourceInstance(), std::move(images));
    SetTimer(kTimerRunningTime, 60000);
    m_bInstallFlag = AppSettings().IsInstallTagSet();
    PostMessage(kMsgLoginFaceShown, 0, 0);
    return TRUE;
}

LRESULT CCorvane3Dlg::OnHotkey(WPARAM wp, LPARAM) {
    RunHotkeyAction(wp, *this);
    return 0;
}

LRESULT CCorvane3Dlg::OnLoginFaceShown(WPARAM, LPARAM) {
    if (m_pAfterFace != nullptr) m_pAfterFace->Start();
    // The day's update check, on a worker of its own: a find comes back as
    // a question once the portal has answered.
    CSettings stored = AppSettings();
    if (TakeDailyUpdateCheck(stored, CWinClock().Today())) m_updateQuery.Start(m_hWnd, kMsgUpdateAnswer, true);
    return 0;
}

void CCorvane3Dlg::EnsureControls() {
    if (m_controlsSetUp) return;
    m_controlsSetUp = true;
    RECT client{};
    GetClientRect(&client);
    CreateControls(client.right);
    SetupControls();
}

void CCorvane3Dlg::CreateControls(int cx) {
    const auto layout = tabs::ControlLayout(cx, static_cast<int>(m_titles.size()));
    // As the dialog manager makes a template's controls: children that do
    // not notify their parent of their own creation, in the dialog's font.
    const WPARAM font = static_cast<WPARAM>(SendMessage(WM_GETFONT));
    for (const FrameControl& control : kFrameControls) {
        const auto place = std::find_if(layout.begin(), layout.end(),
                                        [&](const tabs::Placement& p) { return p.id == control.id; });
        const tabs::Placement at = place != layout.end() ? *place : tabs::Placement{control.id};
        const HWND made = ::CreateWindowExW(WS_EX_NOPARENTNOTIFY, control.windowClass, control.text,
                                           WS_CHILD | control.style, at.x, at.y, at.cx, at.cy, m_hWnd,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                           fw::ResourceInstance(), nullptr);
        if (made != nullptr) ::SendMessageW(made, WM_SETFONT, font, FALSE);
    }
}

bool CCorvane3Dlg::PreloadSkins() {
    return StartImagePreload(fw::ResourceInstance(), {{IDP_LOGIN_BACKGROUND, ImageKind::Alpha}});
}

void CCorvane3Dlg::SetupControls() {
    const HMODULE module = fw::ResourceInstance();
    m_nCaptionHeight = 30;
    m_nBorder = 4;
    m_nBtnRight = 0;
    m_nBtnTop = 0;
    m_nTitleWeight = 600;
    m_bResizable = TRUE;
    // Maximised, the frame covers the whole work area, however large.
    m_sizeMax = SIZE{0x7FFF, 0x7FFF};
    m_bmpClose.Reset(LoadSkinImage(module, IDP_CLOSE));
    m_bmpMin.Reset(LoadSkinImage(module, IDP_MIN));
    SetSkin(m_bmpClose.Get(), LoadSkinImage(module, IDP_FRAME_MAIN), FALSE, TRUE, m_bmpMin.Get(),
            LoadSkinImage(module, IDP_MAX), LoadSkinImage(module, IDP_RESTORE));

    CBtnEx* buttons[] = {&m_btnBoss,    &m_btnTool,    &m_btnNewPage, &m_btnWeb[0], &m_btnWeb[1],
                         &m_btnWeb[2], &m_btnWeb[3], &m_btnWeb[4], &m_btnWeb[5]};
    for (size_t i = 0; i < std::size(kButtonImages); ++i) {
        CBtnEx& button = *buttons[i];
        button.SubclassDlgItem(kButtonImages[i].id, this);
        m_bmpButtons.emplace_back(LoadSkinImage(module, kButtonImages[i].image));
        button.SetImage(m_bmpButtons.back(), FALSE);
        button.m_bHandCursor = kButtonImages[i].hand;
    }
    m_btnTool.m_clrText = RGB(255, 255, 255);
    // Its skin draws the "+"; the window keeps the text for tools that read it.
    m_btnNewPage.m_strText.clear();
    m_bmpSoundOn.Reset(LoadSkinImage(module, IDP_SOUND_ON));
    m_bmpSoundOff.Reset(LoadSkinImage(module, IDP_SOUND_OFF));
    m_btnSound.SubclassDlgItem(tabs::id::kSound, this);
    m_btnSound.SetImage(m_bmpSoundOn, FALSE);

    m_bmpAccount.Reset(LoadSkinImage(module, IDP_ACCOUNT));
    m_staticAccount.SubclassDlgItem(tabs::id::kAccountLabel, this);
    m_staticAccount.ModifyStyle(0, SS_NOTIFY);
    m_staticAccount.SetImage(m_bmpAccount.Get());
    m_staticAccount.m_bHandCursor = TRUE;
    m_staticAccount.m_bUnderline = FALSE;
    m_staticAccount.m_clrText = 0x949494;

    // Each PNG strip holds three equal frames.
    if (fw::ScopedBitmap tabs(LoadSkinImage(module, IDP_TABS)); tabs) {
        m_tabImages.Create(tabs::kTabWidth, tabs::kTabHeight, ILC_COLOR24 | ILC_MASK, 3, 0);
        m_tabImages.Add(tabs.Get(), RGB(255, 0, 255));
    }
    if (fw::ScopedBitmap close(LoadSkinImage(module, IDP_TAB_CLOSE)); close) {
        m_closeImages.Create(tabs::kCloseSize, tabs::kCloseSize, ILC_COLOR24 | ILC_MASK, 3, 0);
        m_closeImages.Add(close.Get(), RGB(255, 0, 255));
    }

    m_tip.Create(m_hWnd, TTS_ALWAYSTIP);
    m_tip.AddWindowTool(m_hWnd, m_hWnd, L"");
    m_tip.SetDelayTime(TTDT_AUTOMATIC, 500);
    m_tip.Activate(FALSE);
}

// The soak run's question about the process's GDI and USER objects, which
// nothing else sends.
LRESULT CCorvane3Dlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT count = 0;
    if (AnswerGuiObjectCount(msg, wp, &count)) return count;
    return CDlgEx::WindowProc(msg, wp, lp);
}

void CCorvane3Dlg::OnOK() {}

void CCorvane3Dlg::OnCancel() { CloseAllPages(); }

void CCorvane3Dlg::ShowLoginFace() {
    TheOpenPageCount() = static_cast<int>(m_titles.size());
    // Placed before it is shown, so that it never shows where it was.
    m_loginBk.CenterOnDesktop();
    m_loginBk.ShowWindow(SW_SHOW);
}

// --- pages ---------------------------------------------------------------

BOOL CCorvane3Dlg::OnCopyData(HWND, COPYDATASTRUCT* data) {
    const std::optional<std::wstring> text =
        data != nullptr ? LoginTextFromCopyData(data->lpData, data->cbData) : std::nullopt;
    if (!text) return FALSE;
    EnsureControls();
    const LoginTextFields fields = SplitLoginText(*text);
    if (std::find(m_titles.begin(), m_titles.end(), fields.label) != m_titles.end()) return FALSE;
    // The login page offers another login only below three pages; a page
    // sent past that by anyone else is refused rather than left without a tab.
    if (m_titles.size() >= tabs::kMaxPages) return FALSE;

    m_titles.push_back(fields.label);
    m_hookPages = static_cast<int>(m_titles.size());
    m_startTicks.push_back(::GetTickCount());
    const std::wstring account = AccountOfLabel(fields.label);
    SetAccountText(fields.label);
    SendBeacon(PageLoginBeaconUrl(TheCtrlBlock(), account, static_cast<int>(m_titles.size())), m_events);
    SendEventBeacon(kOpenEvent, kOpenEventName, BlockChannel(TheCtrlBlock()), m_events);
    m_records.push_back(PageRecordFrom(fields));

    auto page = std::make_unique<CGameWnd>();
    page->Create(IDD_EMPTY_POPUP, this);
    PostMessage(kMsgPageCreated, reinterpret_cast<WPARAM>(page->m_hWnd), 0);
    m_pages.push_back(std::move(page));
    return TRUE;
}

LRESULT CCorvane3Dlg::OnPageCreated(WPARAM wp, LPARAM) {
    const HWND window = reinterpret_cast<HWND>(wp);
    const auto it = std::find_if(m_pages.begin(), m_pages.end(),
                                 [window](const std::unique_ptr<CGameWnd>& p) { return p->m_hWnd == window; });
    // The page may have been closed before this message arrived.
    if (it == m_pages.end() || window == nullptr) return 0;
    if (!m_bPagesShown) {
        m_bPagesShown = TRUE;
        RECT wr{};
        GetWindowRect(&wr);
        if (wr.right - wr.left > 1 && m_bMaximized) {
            RECT work{};
            ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            MoveWindow(work, TRUE);
        } else {
            m_bMaximized = FALSE;
            OnBtnMax();
        }
        if (!m_trayAdded) AddTrayIcon();
        SetTimer(kTimerMute, 400);
    }
    ShowWindow(SW_SHOW);
    ShowPage(nullptr);
    m_nCurPage = static_cast<int>(it - m_pages.begin());
    MoveNewPageButton();
    const RECT strip = ToRect(tabs::StripRect(static_cast<int>(m_pages.size())));
    RepaintStrip(strip);
    return 0;
}

void CCorvane3Dlg::ShowPage(HWND page) {
    for (const auto& p : m_pages) {
        if (p->m_hWnd != page) p->ShowWindow(SW_HIDE);
    }
    if (page == nullptr) return;
    RECT wr{};
    GetWindowRect(&wr);
    const tabs::Rect area = tabs::PageArea({wr.left, wr.top, wr.right, wr.bottom});
    ::MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    ::ShowWindow(page, SW_SHOW);
    ::SetForegroundWindow(page);
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i]->m_hWnd == page) SetAccountText(m_titles[i]);
    }
}

void CCorvane3Dlg::SetAccountText(const std::wstring& label) {
    m_staticAccount.m_strText = AccountLabelText(AccountOfLabel(label));
    m_staticAccount.SetWindowText(m_staticAccount.m_strText);
    m_staticAccount.Invalidate(TRUE);
}

void CCorvane3Dlg::ToggleHide() {
    if (IsWindowVisible()) {
        if (m_pages.empty()) return;
        m_pages[m_nCurPage]->ShowWindow(SW_HIDE);
        ShowWindow(SW_HIDE);
        if (m_pSettingDlg != nullptr && m_pSettingDlg->IsWindowVisible()) m_pSettingDlg->EndDialog(2);
        if (m_loginBk.IsWindowVisible()) m_loginBk.ShowWindow(SW_HIDE);
        // Its topmost dimmed capture of the game would stay on the screen
        // the boss key is meant to clear.
        m_screenShot.Close();
        return;
    }
    if (!m_pages.empty()) m_pages[m_nCurPage]->ShowWindow(SW_SHOW);
    ShowWindow(SW_RESTORE);
    ForceForeground();
}

void CCorvane3Dlg::SwitchToNextPage() {
    if (m_pages.empty() || !IsWindowVisible() || ::IsIconic(m_hWnd)) return;
    if (m_pages.size() > 1) {
        const int old = m_nCurPage;
        m_nCurPage = (m_nCurPage + 1) % static_cast<int>(m_pages.size());
        RepaintTab(old);
        RepaintTab(m_nCurPage);
    }
    ShowPage(m_pages[m_nCurPage]->m_hWnd);
}

void CCorvane3Dlg::ForceForeground() {
    const DWORD foreground = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const DWORD own = ::GetCurrentThreadId();
    const bool attached = foreground != own && ::AttachThreadInput(own, foreground, TRUE);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(m_hWnd);
    if (attached) ::AttachThreadInput(own, foreground, FALSE);
}

void CCorvane3Dlg::RemovePage(size_t index) {
    m_pages.erase(m_pages.begin() + static_cast<std::ptrdiff_t>(index));
    m_titles.erase(m_titles.begin() + static_cast<std::ptrdiff_t>(index));
    m_hookPages = static_cast<int>(m_titles.size());
    m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(index));
    m_startTicks.erase(m_startTicks.begin() + static_cast<std::ptrdiff_t>(index));
}

void CCorvane3Dlg::ClosePage(int index) {
    if (index < 0 || index >= static_cast<int>(m_pages.size())) return;
    if (TheCtrlBlock().IsFlagSet(5) && AskUser(MB_YESNO, L"确定要退出账号：" + m_titles[index] + L" ?") != IDYES) {
        RepaintTab(index);
        return;
    }
    SendPageBeacons(static_cast<size_t>(index), true);

    std::unique_ptr<CGameWnd> closed = std::move(m_pages[index]);
    RemovePage(static_cast<size_t>(index));
    const int count = static_cast<int>(m_pages.size());
    index = std::min(index, count - 1);
    if (count == 0) {
        ResetHover();
        closed->DestroyWindow();
        CloseAllPages();
        return;
    }
    ShowPage(m_pages[index]->m_hWnd);
    m_nCurPage = index;
    MoveNewPageButton();
    closed->DestroyWindow();
    ResetHover();
    RepaintStrip(ToRect(tabs::StripRectAfterClose(count)));
}

// On workers, as a single page's are: sent here, each could hold the window
// for its whole time-out, and every page its own. The frame's end waits for
// what is still in flight, a bounded time for all of them together.
void CCorvane3Dlg::SendPageBeacons(size_t index, bool closeEvent) {
    const uint32_t seconds = OnlineSeconds(m_startTicks[index], ::GetTickCount());
    if (auto url = OnlineTimeUrl(TheCtrlBlock(), m_titles[index], m_records[index].loginGame, seconds))
        SendBeacon(*url, m_events);
    if (closeEvent) SendEventBeacon(kCloseEvent, kCloseEventName, BlockChannel(TheCtrlBlock()), m_events);
}

void CCorvane3Dlg::CloseAllPages() {
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (TheCtrlBlock().IsFlagSet(5) && AskUser(MB_YESNO, L"窗口即将关闭，确定要退出游戏？") != IDYES) return;
    while (!m_pages.empty()) {
        SendPageBeacons(0, true);
        std::unique_ptr<CGameWnd> closed = std::move(m_pages.front());
        RemovePage(0);
        m_nCurPage = 0;
        MoveNewPageButton();
        closed->DestroyWindow();
        ResetHover();
        RepaintStrip(ToRect(tabs::StripRectAfterClose(static_cast<int>(m_pages.size()))));
    }
    m_bPagesShown = FALSE;
    SetWindowPos(nullptr, 0, 0, 2, 1, SWP_NOMOVE | SWP_NOZORDER);
    ShowLoginFace();
}

void CCorvane3Dlg::ExitClient() {
    if (m_bInstallFlag) AppSettings().Write(settings::kInstallTag, L"1");
    RemoveKeyboardHook();
    for (size_t i = 0; i < m_pages.size(); ++i) {
        SendPageBeacons(i, false);
        const HWND page = m_pages[i]->m_hWnd;
        ::SetParent(page, nullptr);
        ::ShowWindow(page, SW_HIDE);
        ::PostMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    DeleteTrayIcon();
    ::PostQuitMessage(0);
}

LRESULT CCorvane3Dlg::OnAnotherPage(WPARAM wp, LPARAM) {
    if (wp != 1) return 0;
    if (m_titles.size() < tabs::kMaxPages) {
        ShowLoginFace();
    } else {
        AskUser(0, L"登录器只支持3个游戏页");
    }
    return 0;
}

// --- tray, timers ----------------------------------------------------------

void CCorvane3Dlg::AddTrayIcon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hWnd;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kMsgTrayIcon;
    data.hIcon = m_hIcon.Get();
    const std::wstring tip = TheCtrlBlock().TitleName().substr(0, std::size(data.szTip) - 1);
    std::copy(tip.begin(), tip.end(), data.szTip);
    m_trayAdded = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void CCorvane3Dlg::DeleteTrayIcon() {
    if (!m_trayAdded || m_hWnd == nullptr) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hWnd;
    data.uID = 1;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    m_trayAdded = false;
}

LRESULT CCorvane3Dlg::OnTrayIcon(WPARAM, LPARAM lp) {
    if (lp == WM_LBUTTONUP) ToggleHide();
    if (lp == WM_RBUTTONUP) PostMessage(kMsgTrayMenu, 0, 0);
    return 0;
}

LRESULT CCorvane3Dlg::OnReloadHotkeys(WPARAM, LPARAM) {
    LoadHotkeys();
    return 0;
}

void CCorvane3Dlg::OnTimer(UINT_PTR id) {
    if (id == kTimerMute) {
        if (m_bMute != m_bAppliedMute) {
            SetMute(m_bMute);
            m_bAppliedMute = m_bMute;
        }
        if (m_bMute != m_bSoundImageMuted) {
            m_bSoundImageMuted = m_bMute;
            m_btnSound.SetImage(m_bMute ? m_bmpSoundOff : m_bmpSoundOn, FALSE);
            m_btnSound.Invalidate(TRUE);
        }
    } else if (id == kTimerRunningTime && m_nRunningTime <= kRunningTimeLastWrite) {
        AppSettings().Write(settings::kRunningTime, FormatInt(m_nRunningTime));
        if (m_nRunningTime++ >= kRunningTimeLastWrite) KillTimer(kTimerRunningTime);
    }
}

// --- painting and size -----------------------------------------------------

CCorvane3Dlg::PictureInputs CCorvane3Dlg::CurrentPictureInputs(int width, int height) const {
    return {width, height, m_bmpSkin.Get(), m_titles, m_nCurPage, m_nHoverTab, m_nCloseState};
}

bool CCorvane3Dlg::PictureIsCurrent(int width, int height) const {
    const std::optional<PictureInputs>& in = m_pictureInputs;
    return in && in->width == width && in->height == height && in->skin == m_bmpSkin.Get() &&
           in->tabTitles == m_titles && in->currentPage == m_nCurPage && in->hoverTab == m_nHoverTab &&
           in->closeState == m_nCloseState;
}

LRESULT CCorvane3Dlg::OnPictureSourceChanged(WPARAM, LPARAM) {
    m_pictureInputs.reset();
    return Default();
}

void CCorvane3Dlg::DrawPicture(HDC dc) {
    if (m_bmpSkin) PaintSkin(dc);
    fw::ScopedFont font(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                                      L"微软雅黑"));
    fw::ScopedSelectObject select(dc, font.Get());
    ::SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < static_cast<int>(m_titles.size()); ++i) {
        const tabs::Rect tab = tabs::TabRect(i);
        m_tabImages.Draw(dc, tabs::TabImageFrame(i, m_nCurPage, m_nHoverTab), tab.left, tab.top, ILD_NORMAL);
        if (i == m_nHoverTab && m_nCloseState >= 0) {
            const tabs::Rect close = tabs::CloseButtonRect(i);
            m_closeImages.Draw(dc, m_nCloseState, close.left, close.top, ILD_NORMAL);
        }
        ::SetTextColor(dc, i == m_nCurPage ? 0xCCCCCC : 0x999999);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, m_titles[i].c_str(), static_cast<int>(m_titles[i].size()), &extent);
        const std::wstring shown = TabTitleText(m_titles[i], extent.cx);
        RECT text = ToRect(tabs::TabTextRect(i));
        ::DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    }
}

BOOL CCorvane3Dlg::OnEraseBkgnd(HDC dc) {
    RECT client{};
    GetClientRect(&client);
    // Each skinned control asks for the background beneath it, and a frame
    // the size of the screen is uncovered often: the picture is drawn when
    // what it shows changes, and each request copies the part its DC shows.
    const RECT area = fw::VisibleArea(dc, client.right, client.bottom);
    if (::IsRectEmpty(&area)) return TRUE;
    const HDC picture = m_picture.Acquire(client.right, client.bottom);
    if (picture == nullptr) {
        fw::ClippedCanvas canvas(dc, client.right, client.bottom);
        if (!canvas.IsValid()) return FALSE;
        DrawPicture(canvas.Dc());
        canvas.CopyTo(dc);
        return TRUE;
    }
    if (!PictureIsCurrent(client.right, client.bottom)) {
        m_pictureInputs.reset();
        DrawPicture(picture);
        m_pictureInputs = CurrentPictureInputs(client.right, client.bottom);
    }
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, picture, area.left, area.top,
             SRCCOPY);
    m_picture.Release();
    return TRUE;
}

void CCorvane3Dlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(m_hWnd, &ps);
    ::DrawIcon(dc, 0, 0, m_hIcon.Get());
    ::EndPaint(m_hWnd, &ps);
}

void CCorvane3Dlg::OnSize(UINT type, int cx, int cy) {
    if (type != SIZE_MINIMIZED && !m_pages.empty()) {
        RECT wr{};
        GetWindowRect(&wr);
        const tabs::Rect area = tabs::PageArea({wr.left, wr.top, wr.right, wr.bottom});
        m_pages[m_nCurPage]->MoveWindow(area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
    }
    CDlgEx::OnSize(type, cx, cy);
    if (type == SIZE_MINIMIZED || cx == m_nLastWidth) return;
    const bool shrank = cx < m_nLastWidth;
    m_nLastWidth = cx;
    if (m_controlsSetUp) LayoutControls(cx);
    if (shrank && m_osVersion.dwMajorVersion < 6) {
        RECT wr{};
        GetWindowRect(&wr);
        const RECT corner{wr.right - 4, wr.top, wr.right, wr.top + 4};
        ::RedrawWindow(nullptr, &corner, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void CCorvane3Dlg::LayoutControls(int cx) {
    for (const tabs::Placement& place : tabs::ControlLayout(cx, static_cast<int>(m_titles.size()))) {
        if (const HWND control = GetDlgItem(place.id)) {
            ::MoveWindow(control, place.x, place.y, place.cx, place.cy, TRUE);
            ::InvalidateRect(control, nullptr, TRUE);
        }
    }
}

LRESULT CCorvane3Dlg::OnWindowPosChanging(WPARAM, LPARAM lp) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    if (!m_pages.empty() && pos != nullptr && (pos->flags & SWP_NOSIZE) == 0) {
        const tabs::Size min = tabs::MinimumFrameSize(static_cast<int>(m_pages.size()));
        if (pos->cx < min.cx || pos->cy < min.cy) {
            pos->cx = std::max(pos->cx, min.cx);
            pos->cy = std::max(pos->cy, min.cy);
            return 0;
        }
        if ((pos->flags & SWP_NOMOVE) == 0)
            m_pages[m_nCurPage]->MoveWindow(pos->x + 4, pos->y + 65, pos->cx - 8, pos->cy - 69, TRUE);
    }
    return Default();
}

void CCorvane3Dlg::MoveNewPageButton() {
    const tabs::Rect r = tabs::NewPageButtonRect(static_cast<int>(m_pages.size()));
    m_btnNewPage.MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void CCorvane3Dlg::RepaintTab(int index) {
    if (index < 0) return;
    const RECT r = ToRect(tabs::TabRect(index));
    InvalidateRect(&r, TRUE);
}

void CCorvane3Dlg::RepaintCloseButton(int index) {
    if (index < 0) return;
    const RECT r = ToRect(tabs::CloseButtonRect(index));
    InvalidateRect(&r, TRUE);
}

void CCorvane3Dlg::RepaintStrip(const RECT& r) { InvalidateRect(&r, TRUE); }

void CCorvane3Dlg::ResetHover() {
    m_nHoverTab = -1;
    m_nCloseState = -1;
}

void CCorvane3Dlg::RepaintPageDocument() {
    const HWND server = FindDocumentWindow(m_pages[m_nCurPage]->m_hWnd);
    if (server == nullptr) return;
    ::InvalidateRect(server, nullptr, TRUE);
    if (const HWND flash = ::FindWindowExW(server, nullptr, L"MacromediaFlashPlayerActiveX", nullptr))
        ::InvalidateRect(flash, nullptr, TRUE);
}

LRESULT CCorvane3Dlg::OnSysCommand(WPARAM wp, LPARAM) {
    const LRESULT result = Default();
    if ((wp & 0xFFF0) == SC_RESTORE && !m_pages.empty()) RepaintPageDocument();
    return result;
}

// --- tab strip mouse ---------------------------------------------------------

LRESULT CCorvane3Dlg::OnNcHitTest(POINT point) {
    const LRESULT hit = CDlgEx::OnNcHitTest(point);
    POINT client = point;
    ScreenToClient(&client);
    const int count = static_cast<int>(m_titles.size());
    const std::optional<int> tab = tabs::TabAt(client.x, client.y, count);
    if (!tab) {
        RepaintTab(m_nHoverTab);
        ResetHover();
        m_tip.Activate(FALSE);
        m_bTipActive = FALSE;
        return hit;
    }
    const int c = *tab;
    if (m_bTipActive && c != m_nHoverTab) {
        m_tip.Activate(FALSE);
        m_bTipActive = FALSE;
    } else if (!m_bTipActive) {
        m_tip.UpdateWindowToolText(m_hWnd, m_hWnd, m_titles[c]);
        m_tip.Activate(TRUE);
        m_bTipActive = TRUE;
    }
    const int s = tabs::CloseButtonState(c, client.x, client.y, (::GetKeyState(VK_LBUTTON) & 0x8000) != 0);
    if (s != 0) {
        m_tip.Activate(FALSE);
        m_bTipActive = FALSE;
    }
    if (c != m_nHoverTab || s != m_nCloseState) {
        if (m_nHoverTab >= 0) {
            if (c == m_nHoverTab)
                RepaintCloseButton(c);
            else
                RepaintTab(m_nHoverTab);
        }
        const bool otherTab = c != m_nHoverTab;
        m_nHoverTab = c;
        m_nCloseState = s;
        if (otherTab) RepaintTab(c);
    }
    if (hit != HTCAPTION && !m_bMouseTracked) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_bMouseTracked = ::TrackMouseEvent(&track);
    }
    return hit;
}

void CCorvane3Dlg::OnMouseLeave() {
    RepaintTab(m_nHoverTab);
    ResetHover();
    m_bMouseTracked = FALSE;
}

LRESULT CCorvane3Dlg::OnNcMouseLeave(WPARAM, LPARAM) {
    RepaintTab(m_nHoverTab);
    ResetHover();
    return 0;
}

void CCorvane3Dlg::PressInTabArea(POINT client) {
    const int c = *tabs::TabAt(client.x, client.y, static_cast<int>(m_titles.size()));
    if (c != m_nCurPage) {
        const int old = m_nCurPage;
        m_nCurPage = c;
        ShowPage(m_pages[c]->m_hWnd);
        RepaintTab(old);
        RepaintTab(c);
    }
    if (tabs::PressOnCloseButton(c, client.x, client.y)) {
        m_nCloseState = 2;
        m_nHoverTab = c;
        RepaintCloseButton(c);
    }
}

void CCorvane3Dlg::ReleaseInTabArea(POINT client) {
    const std::optional<int> tab = tabs::TabAt(client.x, client.y, static_cast<int>(m_titles.size()));
    if (tab && tabs::ReleaseOnCloseButton(*tab, client.x, client.y)) ClosePage(*tab);
}

void CCorvane3Dlg::OnLButtonDown(UINT, POINT point) {
    if (tabs::TabAt(point.x, point.y, static_cast<int>(m_titles.size())))
        PressInTabArea(point);
    else
        Default();
}

void CCorvane3Dlg::OnNcLButtonDown(UINT hitTest, POINT point) {
    POINT client = point;
    ScreenToClient(&client);
    if (tabs::TabAt(client.x, client.y, static_cast<int>(m_titles.size())))
        PressInTabArea(client);
    else
        CDlgEx::OnNcLButtonDown(hitTest, point);
}

void CCorvane3Dlg::OnLButtonUp(UINT, POINT point) {
    ReleaseInTabArea(point);
    if (m_hWnd != nullptr) Default();
}

LRESULT CCorvane3Dlg::OnNcLButtonUp(WPARAM, LPARAM lp) {
    POINT client = fw::PointFrom(lp);
    ScreenToClient(&client);
    ReleaseInTabArea(client);
    return Default();
}

void CCorvane3Dlg::OnLButtonDblClk(UINT flags, POINT point) {
    if (tabs::TabAt(point.x, point.y, static_cast<int>(m_titles.size()))) return;
    CDlgEx::OnLButtonDblClk(flags, point);
}

void CCorvane3Dlg::OnNcLButtonDblClk(UINT hitTest, POINT point) {
    POINT client = point;
    ScreenToClient(&client);
    if (tabs::TabAt(client.x, client.y, static_cast<int>(m_titles.size()))) return;
    CDlgEx::OnNcLButtonDblClk(hitTest, point);
}

LRESULT CCorvane3Dlg::OnMButtonUp(WPARAM, LPARAM lp) {
    const POINT client = fw::PointFrom(lp);
    if (auto tab = tabs::TabAt(client.x, client.y, static_cast<int>(m_titles.size()))) ClosePage(*tab);
    return 0;
}

LRESULT CCorvane3Dlg::OnNcMButtonUp(WPARAM, LPARAM lp) {
    POINT client = fw::PointFrom(lp);
    ScreenToClient(&client);
    if (auto tab = tabs::TabAt(client.x, client.y, static_cast<int>(m_titles.size()))) ClosePage(*tab);
    return 0;
}

// --- keyboard ---------------------------------------------------------------

BOOL CCorvane3Dlg::PreTranslateMessage(MSG* msg) {
    const UINT m = msg->message;
    if ((m == WM_KEYDOWN || m == WM_SYSKEYDOWN) && msg->lParam != kLoginCloseMarker &&
        IsWindowSwitchKey(m, msg->wParam)) {
        SwitchToNextPage();
        return TRUE;
    }
    if (m == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE)) return TRUE;
    if (m == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE) {
        if (msg->lParam == kLoginCloseMarker) {
            if (m_titles.empty())
                ExitClient();
            else
                m_loginBk.ShowWindow(SW_HIDE);
            return TRUE;
        }
        if (msg->lParam == 0 && m_titles.empty()) {
            ExitClient();
            return TRUE;
        }
    }
    if (!m_pages.empty() && (IsCtrlD(*msg) || (m == WM_KEYDOWN && msg->wParam == VK_F5))) {
        CGameWnd& page = *m_pages[m_nCurPage];
        if (page.IsWindowVisible()) page.PostMessage(m, msg->wParam, msg->lParam);
        return TRUE;
    }
    if (m == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_RESTORE && m_pages.empty()) ShowWindow(SW_RESTORE);
    m_tip.RelayEvent(msg);
    return CDlgEx::PreTranslateMessage(msg);
}

// --- commands and menus -------------------------------------------------------

void CCorvane3Dlg::OnCommandId(UINT id) {
    switch (id) {
        case tabs::id::kBoss: ToggleHide(); break;
        case tabs::id::kSound: ToggleMute(); break;
        case tabs::id::kToolMenu: ShowToolMenu(); break;
        case tabs::id::kNewPage:
            if (m_newPageThrottle.Accept(::GetTickCount())) PostMessage(kMsgAnotherPage, 1, 0);
            break;
        case tabs::id::kRefresh: PostMessage(WM_KEYDOWN, VK_F5, kLoginCloseMarker); break;
        case tabs::id::kScreenshot: OpenScreenShot(); break;
        case tabs::id::kService:
        case tabs::id::kNoviceCard:
        case tabs::id::kPay:
        case tabs::id::kMessages:
        case tabs::id::kAccountLabel: RunWebShortcut(id); break;
        default: break;
    }
}

void CCorvane3Dlg::RunWebShortcut(UINT id) {
    if (m_records.empty()) return;
    if (auto url = WebShortcutUrl(TheCtrlBlock(), ShortcutOf(id), m_records[m_nCurPage])) OpenWebShortcut(*url);
}

void CCorvane3Dlg::OpenWebShortcut(const std::wstring& url) {
    std::wstring commandLine = L" " + url;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(L"C:\\Program Files\\Internet Explorer\\iexplore.exe", commandLine.data(), nullptr, nullptr,
                         FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

int CCorvane3Dlg::AskUser(UINT style, const std::wstring& text) {
    return ShowMessageBox(style, TheCtrlBlock().TitleName(), text, BoxOwner());
}

HWND CCorvane3Dlg::BoxOwner() {
    // While the login window shows it is what the user looks at, topmost
    // above the frame and its pages: a box owned by the frame would open
    // behind it.
    if (m_loginBk.m_hWnd != nullptr && m_loginBk.IsWindowVisible()) {
        const HWND page = m_loginBk.LoginPage().m_hWnd;
        return page != nullptr ? page : m_loginBk.m_hWnd;
    }
    return m_hWnd;
}

UINT CCorvane3Dlg::TrackMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
    return static_cast<UINT>(::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr));
}

namespace {

enum MenuItem : UINT { kRefreshItem = 1, kHideItem, kCacheItem, kUpdateItem, kSettingsItem, kExitItem };

struct MenuOwner {
    HMENU menu = ::CreatePopupMenu();
    ~MenuOwner() {
        if (menu != nullptr) ::DestroyMenu(menu);
    }
};

void AppendCommonItems(HMENU menu) {
    const std::wstring hide =
        L"隐藏/恢复(" + [] {
            const Hotkey key = ReadHotkey(settings::kShortKey);
            return FormatHotkey(key.vk, key.mod);
        }() + L")";
    ::AppendMenuW(menu, MF_STRING, kRefreshItem, L"刷新 (F5)");
    ::AppendMenuW(menu, MF_STRING, kHideItem, hide.c_str());
    ::AppendMenuW(menu, MF_STRING, kCacheItem, L"清除缓存");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kUpdateItem, L"更新");
    ::AppendMenuW(menu, MF_STRING, kSettingsItem, L"设置...");
}

}  // namespace

void CCorvane3Dlg::ShowToolMenu() {
    RECT button{};
    m_btnTool.GetWindowRect(&button);
    MenuOwner owner;
    if (owner.menu == nullptr) return;
    AppendCommonItems(owner.menu);
    const std::wstring version = L"版本号: " + TheCtrlBlock().ClientVersion();
    ::AppendMenuW(owner.menu, MF_STRING, static_cast<UINT_PTR>(-1), version.c_str());
    const UINT chosen = TrackMenu(owner.menu, TPM_RETURNCMD, button.left, button.bottom + 2, m_hWnd);
    RunMenuItem(chosen);
}

LRESULT CCorvane3Dlg::OnTrayMenu(WPARAM, LPARAM) {
    ::SetForegroundWindow(m_hWnd);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    MenuOwner owner;
    if (owner.menu == nullptr) return 0;
    AppendCommonItems(owner.menu);
    ::AppendMenuW(owner.menu, MF_STRING, kExitItem, L"退出");
    const UINT chosen =
        TrackMenu(owner.menu, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, m_hWnd);
    RunMenuItem(chosen);
    return 0;
}

void CCorvane3Dlg::RunMenuItem(UINT item) {
    switch (item) {
        case kRefreshItem: PostMessage(WM_KEYDOWN, VK_F5, kLoginCloseMarker); break;
        case kHideItem: ToggleHide(); break;
        case kCacheItem:
            StartCacheCleaning();
            AskUser(0, L"缓存清除完毕！");
            break;
        case kUpdateItem: RunUpdate(); break;
        case kSettingsItem: RunSettings(); break;
        case kExitItem: ExitClient(); break;
        default: break;  // the version line, or no choice
    }
}

void CCorvane3Dlg::RunUpdate() {
    // The check may wait on the portal: its answer comes back as a message.
    // A second choice while one runs is the same question.
    m_updateQuery.Start(m_hWnd, kMsgUpdateAnswer, false);
}

LRESULT CCorvane3Dlg::OnUpdateAnswer(WPARAM wp, LPARAM lp) {
    const bool background = wp != 0, needed = lp != 0;
    if (!background) {
        if (needed)
            RestartForUpdateAndExit();
        else
            AskUser(0, L"已经是最新版本，无需进行更新。");
        return 0;
    }
    if (!needed) return 0;
    const UpdateAnswer answer = m_updateQuery.Answer();
    // Without a described version the fixed expected tag names the update.
    const std::wstring version = answer.version.empty() ? TheCtrlBlock().ExpectedTag() : answer.version;
    CSettings stored = AppSettings();
    if (!TakeUpdateQuestion(stored, version)) return 0;
    const std::wstring question =
        answer.version.empty() ? L"发现新版本，是否现在更新？" : L"发现新版本 " + answer.version + L"，是否现在更新？";
    if (AskUser(MB_YESNO, question) == IDYES) RestartForUpdateAndExit();
    return 0;
}

void CCorvane3Dlg::RestartForUpdateAndExit() {
    RestartForUpdate();
    ExitClient();
}

void CCorvane3Dlg::RunSettings() {
    CSettingDlg dialog(this);
    m_pSettingDlg = &dialog;
    dialog.DoModal();
    m_pSettingDlg = nullptr;
}

void CCorvane3Dlg::OpenScreenShot() { m_screenShot.Open(); }
