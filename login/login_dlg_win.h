#pragma once

// CLoginDlg: the operator's login page, and the bridge between that page and
// the client. The page asks for things by navigating to "app:" command
// addresses; the bridge carries the command out, cancels the navigation and
// answers through the page's script functions. Partner-account logins are
// diverted into a window of their own.

#include <memory>
#include <optional>
#include <string>

#include "browser/dhtm_dlg_ex_win.h"
#include "login/bridge_command.h"
#include "login/bridge_origin.h"
#include "login/partner_login.h"

class CQQLogin;

// Posted by the partner-login page when the portal has logged the user in.
inline constexpr UINT kCheckLoginMessage = WM_USER + 8;
// lParam of the close request the login page posts to the main frame.
inline constexpr LPARAM kLoginCloseMarker = 7251;

class CLoginDlg : public CDHtmDlgEx {
public:
    explicit CLoginDlg(std::wstring url);
    ~CLoginDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // The page address given at construction.
    const std::wstring& Url() const { return m_strUrl; }
    // The latest partner-login frame, if any.
    CQQLogin* PartnerLogin() const { return m_pQQLogin.get(); }

    std::wstring m_strUrl;
    bool m_bFirstRun;

protected:
    BOOL OnInitDialog() override;
    void OnNavigateComplete(IDispatch* frame, const std::wstring& url) override;

    DECLARE_MESSAGE_MAP()
    LRESULT OnCheckLogin(WPARAM, LPARAM);

    DECLARE_EVENTSINK_MAP()
    void OnBridgeNavigate(IDispatch* frame, VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                          VARIANT* headers, VARIANT_BOOL* cancel);

    DECLARE_DHTML_EVENT_MAP()
    HRESULT OnDragDown(IDispatch* element);
    HRESULT OnDragUp(IDispatch* element);
    HRESULT OnDragMove(IDispatch* element);

private:
    void RunCommand(const BridgeRequest& request, const std::wstring& url);
    void EnterGame(const std::wstring& url);
    void CancelLogin();
    void Minimize();
    void OpenAutoLogin(const std::wstring& target);
    void StartPartnerLogin(const std::wstring& url, PartnerProvider provider);
    void ForwardDrag(UINT message);

    HWND LoginBackground() const;
    HWND MainFrame() const;
    void PostCloseRequest() const;
    // The address of the document now shown in the navigating frame.
    std::wstring FrameLocation(IDispatch* frame) const;

    std::unique_ptr<CQQLogin> m_pQQLogin;
};

// The address the browser (a top-level one or a frame's) shows now; empty
// when it has none.
std::wstring BrowserLocation(IWebBrowser2* browser);

// The operator's hosts as this build's control block names them, kept for
// the views OperatorHosts holds.
struct CBlockHosts {
    CBlockHosts();
    OperatorHosts View() const { return {m_loginPage, m_portal, m_partner}; }

    std::wstring m_loginPage, m_portal, m_partner;
};

// An embedded frame whose navigation ended on someone else's page (a
// server's redirect raises no BeforeNavigate2 of its own) is sent to a blank
// page: a foreign page must not stay to navigate the top frame. True when
// `frame` was sent there.
bool BlankForeignFrame(IDispatch* frame, bool subFrame, const std::wstring& url, const OperatorHosts& hosts);

// A portal cookie as "name=value", whole however long: empty when there is
// none or it cannot be read. Each use bounds it as its own text needs.
std::wstring ReadPortalCookie(const std::wstring& url, const wchar_t* name);
