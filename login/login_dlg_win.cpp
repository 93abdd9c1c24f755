#include "login/login_dlg_win.h"

#include <shellapi.h>
#include <wininet.h>

#include <algorithm>

#include "app/account_cipher_win.h"
#include "app/autostart_win.h"
#include "app/beacon_urls.h"
#include "base/code_page_win.h"
#include "app/ctrl_block.h"
#include "app/device_identity_win.h"
#include "app/install_paths_win.h"
#include "app/ini_win.h"
#include "app/message_box_win.h"
#include "app/process_state.h"
#include "app/settings_store_win.h"
#include "login/bridge_origin.h"
#include "login/bridge_settings.h"
#include "login/drag_exclusion.h"
#include "login/load_game.h"
#include "login/login_steps.h"
#include "login/login_urls.h"
#include "login/qq_login_win.h"
#include "login/setpauth.h"
#include "net/http_get_win.h"
#include "res/resource.h"
#include "login/user_account_control_win.h"

namespace {

constexpr wchar_t kCancelQuestion[] = L"确定要取消本次登录吗？";

// Cleared at the first completed navigation of any login page.
bool g_firstNavigation = true;

bool TakeFirstRunTag() {
    CSettings settings = AppSettings();
    return TakeFirstRun(settings);
}

std::wstring PortalRoot() { return L"http://" + TheCtrlBlock().PortalHost() + L"/"; }

}  // namespace

CBlockHosts::CBlockHosts()
    : m_loginPage(TheCtrlBlock().LoginPageUrl()), m_portal(TheCtrlBlock().PortalHost()),
      m_partner(TheCtrlBlock().PartnerHost()) {}

bool BlankForeignFrame(IDispatch* frame, bool subFrame, const std::wstring& url, const OperatorHosts& hosts) {
    FrameNavigation navigation;
    navigation.target = url;
    navigation.subFrame = subFrame;
    if (!IsForeignSubFrame(navigation, hosts)) return false;
    fw::ComPtr<IWebBrowser2> browser;
    if (frame == nullptr || FAILED(frame->QueryInterface(IID_PPV_ARGS(&browser)))) return false;
    fw::ScopedBstr blank(L"about:blank");
    VARIANT empty;
    VariantInit(&empty);
    return SUCCEEDED(browser->Navigate(blank.Get(), &empty, &empty, &empty, &empty));
}

std::wstring BrowserLocation(IWebBrowser2* browser) {
    fw::ScopedBstr location;
    if (browser == nullptr || FAILED(browser->get_LocationURL(location.Receive())) || location.Get() == nullptr)
        return {};
    return std::wstring(location.Get(), SysStringLen(location.Get()));
}

std::wstring ReadPortalCookie(const std::wstring& url, const wchar_t* name) {
    // Some systems answer a request for one cookie with all of the address's
    // cookies, so the buffer grows as the system asks and the named one is
    // picked out. The size it asks for is counted in characters by some
    // versions and in bytes by others; the larger reading is taken, and a
    // bound keeps an answer that asks for ever more from looping.
    constexpr size_t kFirstChars = 4096;
    constexpr size_t kMostChars = size_t{1} << 20;
    for (size_t capacity = kFirstChars; capacity <= kMostChars;) {
        std::wstring buffer(capacity, L'\0');
        DWORD size = static_cast<DWORD>(capacity);
        if (InternetGetCookieW(url.c_str(), name, buffer.data(), &size)) {
            buffer.resize(wcsnlen(buffer.c_str(), capacity));
            return NamedCookie(buffer, name);
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        capacity = std::max(capacity * 2, static_cast<size_t>(size) + 1);
    }
    return {};
}

BEGIN_MESSAGE_MAP(CLoginDlg, CDHtmDlgEx)
    ON_MESSAGE(kCheckLoginMessage, OnCheckLogin)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CLoginDlg, CDHtmDlgEx)
    ON_BEFORENAVIGATE2(kBrowserId, OnBridgeNavigate)
END_EVENTSINK_MAP()

BEGIN_DHTML_EVENT_MAP(CLoginDlg)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseDown, L"body", OnDragDown)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseUp, L"body", OnDragUp)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseMove, L"body", OnDragMove)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseDown, L"td", OnDragDown)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseUp, L"td", OnDragUp)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseMove, L"td", OnDragMove)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseDown, L"div", OnDragDown)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseUp, L"div", OnDragUp)
    DHTML_EVENT_TAG(fw::dhtml::kOnMouseMove, L"div", OnDragMove)
END_DHTML_EVENT_MAP()

CLoginDlg::CLoginDlg(std::wstring url)
    : CDHtmDlgEx(IDD_EMPTY_POPUP), m_strUrl(std::move(url)), m_bFirstRun(TakeFirstRunTag()) {}

CLoginDlg::~CLoginDlg() = default;

BOOL CLoginDlg::OnInitDialog() {
    CDHtmDlgEx::OnInitDialog();
    // Magenta in the page is a hole through which the skin underneath shows.
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, GetExStyle() ^ WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, RGB(255, 0, 255), 0, LWA_COLORKEY);
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);

    const CCtrlBlock& block = TheCtrlBlock();
    Navigate(LoginPageAddress(m_strUrl, DeviceParams(block, ReadDeviceIdentity()), m_bFirstRun, TheOpenPageCount(),
                              IsAutostartSet(block.ShortName())));
    return FALSE;
}

void CLoginDlg::OnNavigateComplete(IDispatch* frame, const std::wstring& url) {
    if (BlankForeignFrame(frame, !IsTopFrame(frame), url, CBlockHosts().View())) return;
    CDHtmDlgEx::OnNavigateComplete(frame, url);
    if (g_firstNavigation) {
        ShowWindow(SW_SHOW);
        g_firstNavigation = false;
    }
    if (HWND child = ::FindWindowExW(m_hWnd, nullptr, nullptr, nullptr)) {
        RECT client{};
        GetClientRect(&client);
        ::MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
    }
}

BOOL CLoginDlg::PreTranslateMessage(MSG* msg) {
    // Esc and F5 belong to the login window, never to the page.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_F5)) {
        ::PostMessageW(GetParent(), msg->message, msg->wParam, msg->lParam);
        return TRUE;
    }
    return CDHtmDlgEx::PreTranslateMessage(msg);
}

LRESULT CLoginDlg::OnCheckLogin(WPARAM, LPARAM) {
    CallPageScript("check_login", {});
    return 0;
}

HWND CLoginDlg::LoginBackground() const { return GetParent(); }

HWND CLoginDlg::MainFrame() const {
    HWND background = LoginBackground();
    return background != nullptr ? ::GetParent(background) : nullptr;
}

void CLoginDlg::PostCloseRequest() const { ::PostMessageW(MainFrame(), WM_SYSCOMMAND, SC_CLOSE, kLoginCloseMarker); }

std::wstring CLoginDlg::FrameLocation(IDispatch* frame) const {
    fw::ComPtr<IWebBrowser2> browser;
    if (frame == nullptr || FAILED(frame->QueryInterface(IID_PPV_ARGS(&browser)))) return {};
    return BrowserLocation(browser.Get());
}

void CLoginDlg::OnBridgeNavigate(IDispatch* frame, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                 VARIANT_BOOL* cancel) {
    const std::wstring text = fw::VariantText(url);
    const CBlockHosts hosts;
    const bool subFrame = !IsTopFrame(frame);
    const std::wstring top = BrowserLocation(Browser());
    const std::wstring frameDocument = subFrame ? FrameLocation(frame) : top;
    // Only the operator's own pages may drive the client; a foreign page (an
    // advertisement frame, a page the user was led to) may neither run
    // commands nor open a partner-login window with an address of its own.
    const LoginNavigation verdict =
        JudgeLoginNavigation({top, frameDocument, text, subFrame}, hosts.View());
    if (verdict == LoginNavigation::Go) return;
    // Set before the command runs: a command may run a message loop.
    *cancel = VARIANT_TRUE;
    if (verdict != LoginNavigation::Carry) return;
    const BridgeRequest request = ParseBridgeCommand(text);
    if (request.command != BridgeCommand::None) {
        RunCommand(request, text);
        return;
    }
    StartPartnerLogin(text, DetectPartnerStart(text, hosts.m_partner));
}

void CLoginDlg::RunCommand(const BridgeRequest& request, const std::wstring& url) {
    const std::wstring shortName = TheCtrlBlock().ShortName();
    switch (request.command) {
        case BridgeCommand::LoadGame:
            EnterGame(url);
            return;
        case BridgeCommand::ExitGame:
            CancelLogin();
            return;
        case BridgeCommand::Minimize:
            Minimize();
            return;
        case BridgeCommand::Redirect:
            OpenAutoLogin(request.argument);
            return;
        case BridgeCommand::AutorunOff:
            ClearAutostart(shortName);
            return;
        case BridgeCommand::AutorunOn:
            SetAutostart(shortName, ModulePath());
            return;
        case BridgeCommand::SetPauth:
            if (auto token = DecodeSetPauth(url, CWinCodePage(CP_THREAD_ACP))) WriteAccountEntry(*token);
            return;
        default:
            break;
    }
    CSettings settings = AppSettings();
    if (auto answer = RunSettingsCommand(request, settings, CWinCodePage(CP_ACP)))
        CallPageScript(answer->function, {answer->argument});
}

void CLoginDlg::EnterGame(const std::wstring& url) {
    const LoadGameParts parts = SplitLoadGame(url);
    ThePendingGameAddress() = parts.gameAddress;
    const std::optional<std::wstring> decoded = DecodeLabel(parts.label, CWinCodePage(CP_THREAD_ACP));
    if (!decoded) return;
    const LoginLabel label = ParseLabel(*decoded);
    const std::optional<std::wstring> text = BuildLoginText(
        label, ReadPortalCookie(PortalRoot(), L"Pauth"), ReadPortalCookie(PortalRoot(), L"ptusertype"), parts.pair);
    // Too long for the frame even without its cookies: sent, the frame's
    // refusal would be taken for a login already open.
    if (!text) return;

    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(text->c_str());
    const LRESULT accepted =
        ::SendMessageW(MainFrame(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    if (accepted == 0) {
        ShowMessageBox(0, TheCtrlBlock().TitleName(), DuplicateLoginMessage(label), m_hWnd);
        PostCloseRequest();
        return;
    }
    ::ShowWindow(LoginBackground(), SW_HIDE);
}

void CLoginDlg::CancelLogin() {
    const CCtrlBlock& block = TheCtrlBlock();
    const bool yes = AsksBeforeExit(block.BuildFlags()) &&
                     ShowMessageBox(MB_YESNO, block.TitleName(), kCancelQuestion, m_hWnd) == IDYES;
    const ExitGameSteps steps = StepsOfExitGame(block.BuildFlags(), yes);
    if (steps.openExitPage)
        ::ShellExecuteW(nullptr, L"open", block.ExitPageUrl().c_str(), nullptr, nullptr, SW_SHOW);
    if (steps.postCloseRequest) PostCloseRequest();
    // Sent here and awaited: the client may be about to end.
    if (const std::wstring url = ExitGameBeaconUrl(block, ReadFirstAdapterMac()); url.size() <= kEventBeaconUrlMax)
        HttpGet(url, L"", kEventBeaconUrlMax);
}

void CLoginDlg::Minimize() {
    switch (ChooseMinimize(TheOpenPageCount(), IsUserAccountControlOn(WindowsMajorVersion(), ReadEnableLua()))) {
        case MinimizeAction::CloseRequest:
            PostCloseRequest();
            break;
        case MinimizeAction::MinimizeBackground:
            ::ShowWindow(LoginBackground(), SW_MINIMIZE);
            break;
        case MinimizeAction::MinimizeFrame:
            ::ShowWindow(MainFrame(), SW_MINIMIZE);
            break;
    }
}

void CLoginDlg::OpenAutoLogin(const std::wstring& target) {
    // The auto-login address bounds each cookie itself.
    const std::optional<std::wstring> address =
        AutoLoginUrl(TheCtrlBlock().PortalHost(), ReadPortalCookie(PortalRoot(), L"Pauth"),
                     ReadPortalCookie(PortalRoot(), L"ptusertype"), target);
    if (address) ::ShellExecuteW(nullptr, L"open", address->c_str(), nullptr, nullptr, SW_SHOW);
}

void CLoginDlg::StartPartnerLogin(const std::wstring& url, PartnerProvider provider) {
    m_pQQLogin.reset();
    m_pQQLogin = std::make_unique<CQQLogin>();
    m_pQQLogin->Page().m_strPageUrl = url;
    if (m_pQQLogin->m_hWnd == nullptr) m_pQQLogin->Create(IDD_EMPTY_POPUP, this);
    m_pQQLogin->SetTitle(std::wstring(PartnerTitle(provider)));
    m_pQQLogin->ShowWindow(SW_SHOW);
    m_pQQLogin->CenterOnDesktop();
}

void CLoginDlg::ForwardDrag(UINT message) {
    POINT point{};
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    if (IsDragExcluded(TheDragExclusions(), TheCtrlBlock().BuildTag(), point.x, point.y)) return;
    ::SendMessageW(GetParent(), message, HTCAPTION, MAKELPARAM(point.x, point.y));
}

HRESULT CLoginDlg::OnDragDown(IDispatch*) {
    ForwardDrag(WM_NCLBUTTONDOWN);
    return S_FALSE;
}

HRESULT CLoginDlg::OnDragUp(IDispatch*) {
    ForwardDrag(WM_NCLBUTTONUP);
    return S_FALSE;
}

HRESULT CLoginDlg::OnDragMove(IDispatch*) {
    ForwardDrag(WM_NCMOUSEMOVE);
    return S_FALSE;
}
