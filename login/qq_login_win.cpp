#include "login/qq_login_win.h"

#include <wininet.h>

#include "app/ctrl_block.h"
#include "app/process_state.h"
#include "login/bridge_origin.h"
#include "login/login_dlg_win.h"
#include "login/login_urls.h"
#include "login/partner_login.h"
#include "res/resource.h"
#include "ui/image_loader_win.h"

namespace {

constexpr UINT_PTR kCleanupTimer = 1;
constexpr wchar_t kQqTitle[] = L"QQ账号安全登录";
constexpr int kFrameWidth = 790;
constexpr int kFrameHeight = 575;
constexpr int kCaption = 30;
constexpr int kBorder = 4;

// The last top-level dialog the clean-up timer looked at.
HWND g_dialogCursor = nullptr;

}  // namespace

bool IsEnterOrEscapeKey(const MSG* msg) {
    return msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE);
}

// --- the page ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQQHtml, CDHtmlDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CQQHtml, CDHtmlDialog)
    ON_BEFORENAVIGATE2(kBrowserId, OnGuardNavigate)
END_EVENTSINK_MAP()

CQQHtml::CQQHtml() : CDHtmlDialog(IDD_EMPTY_POPUP) {}

CQQHtml::~CQQHtml() = default;

BOOL CQQHtml::OnInitDialog() {
    CDHtmlDialog::OnInitDialog();
    return TRUE;
}

BOOL CQQHtml::PreTranslateMessage(MSG* msg) {
    if (IsEnterOrEscapeKey(msg)) return TRUE;
    return CDHtmlDialog::PreTranslateMessage(msg);
}

void CQQHtml::OnShowWindow(BOOL, UINT) {
    Default();
    // Also when hidden: the page returns to the start address after a login.
    Navigate(m_strPageUrl);
}

void CQQHtml::OnGuardNavigate(IDispatch* frame, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                              VARIANT_BOOL* cancel) {
    const CCtrlBlock& block = TheCtrlBlock();
    const std::wstring text = fw::VariantText(url);
    if (IsBlockedOAuthNavigation(text, block.QqOAuthHost(), IsWindowVisible() != FALSE)) {
        *cancel = VARIANT_TRUE;
        return;
    }
    // The providers' pages fill the top frame; embedded frames stay the
    // operator's, as in the login page.
    FrameNavigation navigation;
    navigation.target = text;
    navigation.subFrame = !IsTopFrame(frame);
    if (IsForeignSubFrame(navigation, CBlockHosts().View())) *cancel = VARIANT_TRUE;
}

void CQQHtml::OnNavigateComplete(IDispatch* frame, const std::wstring& url) {
    if (BlankForeignFrame(frame, !IsTopFrame(frame), url, CBlockHosts().View())) return;
    if (m_completed || !IsPartnerCompletion(url, TheCtrlBlock().PartnerHost())) {
        CDHtmlDialog::OnNavigateComplete(frame, url);
        return;
    }
    // An empty token is no login either; a long one is.
    if (CookieValue(ReadPortalCookie(url, L"Pauth"), L"Pauth").empty()) {
        // The service has not logged the user in yet.
        CDHtmlDialog::OnNavigateComplete(frame, url);
        return;
    }
    HWND partnerFrame = GetParent();
    HWND loginPage = partnerFrame != nullptr ? ::GetParent(partnerFrame) : nullptr;
    PostMessage(WM_CLOSE);
    ::PostMessageW(loginPage, kCheckLoginMessage, 0, 0);
    m_completed = true;
    if (auto* owner = dynamic_cast<CQQLogin*>(CWnd::FromHandlePermanent(partnerFrame))) owner->EndDialog(IDCANCEL);
    // Ending the frame's dialog hides it without telling the page, which
    // would stay on the service's page; the hidden page goes back to its
    // start, where its guard keeps it from authorising again.
    Navigate(m_strPageUrl);
    m_cleanupTicks = 0;
    SetTimer(kCleanupTimer, kPartnerCleanupPeriodMs);
}

void CQQHtml::OnTimer(UINT_PTR id) {
    if (id != kCleanupTimer) {
        Default();
        return;
    }
    CleanUpTick();
}

void CQQHtml::CleanUpTick() {
    // The service may leave a message box owned by the page; close it and
    // give the game hall the foreground back. A box that never comes must
    // not keep the timer running for the life of the process.
    if (++m_cleanupTicks > kPartnerCleanupTicksMax) {
        KillTimer(kCleanupTimer);
        g_dialogCursor = nullptr;
        return;
    }
    g_dialogCursor = ::FindWindowExW(nullptr, g_dialogCursor, L"#32770", nullptr);
    if (g_dialogCursor == nullptr || ::GetParent(g_dialogCursor) != m_hWnd) return;
    KillTimer(kCleanupTimer);
    ::DestroyWindow(g_dialogCursor);
    const auto hall = reinterpret_cast<HWND>(TheHallWindow());
    ::SetWindowPos(hall, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetWindowPos(hall, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    g_dialogCursor = nullptr;
}

// --- the frame ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQQLogin, CDlgEx)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CQQLogin::CQQLogin() : CDlgEx(IDD_EMPTY_POPUP) {}

CQQLogin::~CQQLogin() {
    // The page is a window of its own (a popup owned by the frame).
    if (m_page.m_hWnd != nullptr) m_page.DestroyWindow();
}

BOOL CQQLogin::OnInitDialog() {
    CDlgEx::OnInitDialog();
    SetTitle(kQqTitle);
    m_nCaptionHeight = kCaption;
    m_nBorder = kBorder;
    m_nBtnRight = 0;
    m_nBtnTop = 0;
    m_nBtnGap = 0;
    m_bmpClose.Reset(LoadSkinImage(fw::ResourceInstance(), IDP_CLOSE));
    SetSkin(m_bmpClose.Get(), LoadSkinImage(fw::ResourceInstance(), IDP_FRAME_MAIN), FALSE, TRUE);
    SetWindowPos(nullptr, 0, 0, kFrameWidth, kFrameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CQQLogin::PreTranslateMessage(MSG* msg) {
    if (IsEnterOrEscapeKey(msg)) return TRUE;
    return CDlgEx::PreTranslateMessage(msg);
}

void CQQLogin::OnWindowPosChanged(WINDOWPOS*) {
    Default();
    if (m_page.m_hWnd == nullptr) return;
    // The page is a popup of its own: placed in screen coordinates inside
    // the frame's border and caption.
    RECT frame{};
    GetWindowRect(&frame);
    m_page.MoveWindow(frame.left + kBorder, frame.top + kCaption, frame.right - frame.left - 2 * kBorder,
                      frame.bottom - frame.top - kCaption - kBorder);
}

void CQQLogin::OnShowWindow(BOOL show, UINT) {
    Default();
    if (m_page.m_hWnd == nullptr) m_page.Create(IDD_EMPTY_POPUP, this);
    if (m_page.m_hWnd != nullptr) m_page.ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CQQLogin::OnCancel() {
    if (m_page.m_hWnd != nullptr) m_page.DestroyWindow();
    DestroyWindow();
}

void CQQLogin::OnBtnClose() { OnCancel(); }
