#include "browser/game_wnd_win.h"

#include <iterator>

#include "app/ctrl_block.h"
#include "app/process_state.h"
#include "browser/desktop_tools_win.h"
#include "browser/frame_urls.h"
#include "browser/tab_strip.h"
#include "res/resource.h"

namespace {

constexpr DISPID kDispidTitleChange = 113;

// void OnTitleChange(const std::wstring&)
void TitleChangeThunk(CDHtmlDialog* dialog, DISPPARAMS* params) {
    VARIANT* title = fw::sink::Arg(params, 0, 1);
    if (title == nullptr) return;
    static_cast<CGameWnd*>(dialog)->OnTitleChange(fw::VariantText(title));
}

// The browser control's window is a direct child of the page; the game's
// Flash window lies inside its document window.
constexpr const wchar_t* kFlashChain[] = {L"Shell Embedding", L"Shell DocObject View", L"Internet Explorer_Server",
                                          L"MacromediaFlashPlayerActiveX"};
constexpr size_t kDocumentDepth = 3;

}  // namespace

HWND FindChildChain(HWND top, const wchar_t* const* classes, size_t count) {
    HWND window = top;
    // By class alone: the control titles some of its windows, on some systems.
    for (size_t i = 0; i < count && window != nullptr; ++i)
        window = ::FindWindowExW(window, nullptr, classes[i], nullptr);
    return window;
}

HWND FindDocumentWindow(HWND page) { return FindChildChain(page, kFlashChain, kDocumentDepth); }

BEGIN_EVENTSINK_MAP(CGameWnd, CDHtmlDialog)
    {CDHtmlDialog::kBrowserId, kDispidTitleChange, &TitleChangeThunk},
    ON_BEFORENAVIGATE2(CDHtmlDialog::kBrowserId, OnBeforeNavigate2Page)
END_EVENTSINK_MAP()

CGameWnd::CGameWnd() : CGameWnd(ThePendingGameAddress()) {}

CGameWnd::CGameWnd(std::wstring address) : CDHtmlDialog(IDD_EMPTY_POPUP), m_strUrl(std::move(address)) {}

BOOL CGameWnd::OnInitDialog() {
    if (m_strUrl.find(GameHallPageAddress(TheCtrlBlock())) != std::wstring::npos)
        m_dwHostFlags = DOCHOSTUIFLAG_FLAT_SCROLLBAR;
    CDHtmlDialog::OnInitDialog();
    if (IWebBrowser2* browser = Browser()) browser->put_Silent(VARIANT_TRUE);
    Navigate(m_strUrl);
    return TRUE;
}

void CGameWnd::OnTitleChange(const std::wstring&) {}

void CGameWnd::OnBeforeNavigate2Page(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}

void CGameWnd::OnNavigateComplete(IDispatch*, const std::wstring&) {
    const HWND frame = ::GetWindow(m_hWnd, GW_OWNER);
    if (frame == nullptr || !::IsWindowVisible(frame)) return;
    RECT outer{};
    ::GetWindowRect(frame, &outer);
    const tabs::Rect area = tabs::PageArea({outer.left, outer.top, outer.right, outer.bottom});
    MoveWindow(area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    ShowWindow(SW_SHOW);
}

void CGameWnd::FocusFlashWindow() {
    if (const HWND flash = FindChildChain(m_hWnd, kFlashChain, std::size(kFlashChain))) ::SetFocus(flash);
}

BOOL CGameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        if (::GetFocus() == m_hWnd) FocusFlashWindow();
        if (const HWND focus = ::GetFocus()) ::SendMessageW(focus, msg->message, msg->wParam, msg->lParam);
        return CDHtmlDialog::PreTranslateMessage(msg);
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F5) {
        if (IWebBrowser2* browser = Browser()) browser->Refresh();
        return CDHtmlDialog::PreTranslateMessage(msg);
    }
    if (msg->message == WM_CHAR && msg->wParam == 4 && msg->lParam >= 0x200000 && msg->lParam <= 0x20FFFF) {
        OpenFavouriteDialog(reinterpret_cast<HWND>(TheHallWindow()));
        return TRUE;
    }
    if (CWnd* frame = CWnd::FromHandlePermanent(::GetWindow(m_hWnd, GW_OWNER))) frame->PreTranslateMessage(msg);
    return CDHtmlDialog::PreTranslateMessage(msg);
}
