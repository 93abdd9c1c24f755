#pragma once

// Partner-account login (QQ, Weibo, WeChat): a framed window, CQQLogin,
// whose face is a plain browser page, CQQHtml. Once a page of the
// partner-login service has loaded with the portal's login cookie set, the
// windows close and the login page is told to check the login.

#include <string>

#include "fw/dhtml_dialog_win.h"
#include "ui/dlg_ex_win.h"

class CQQHtml : public CDHtmlDialog {
public:
    CQQHtml();
    ~CQQHtml() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // The partner-login start address, set by the login page's bridge.
    std::wstring m_strPageUrl;

protected:
    BOOL OnInitDialog() override;
    void OnNavigateComplete(IDispatch* frame, const std::wstring& url) override;

    DECLARE_MESSAGE_MAP()
    void OnShowWindow(BOOL show, UINT status);
    void OnTimer(UINT_PTR id);

    DECLARE_EVENTSINK_MAP()
    void OnGuardNavigate(IDispatch* frame, VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                         VARIANT* headers, VARIANT_BOOL* cancel);

private:
    void CleanUpTick();

    unsigned m_cleanupTicks = 0;
    // A partner login completes once: later pages of the service, or its
    // own reloads, must not ask the login page to check it again.
    bool m_completed = false;
};

class CQQLogin : public CDlgEx {
public:
    CQQLogin();
    ~CQQLogin() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    void OnBtnClose() override;

    CQQHtml& Page() { return m_page; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
    void OnWindowPosChanged(WINDOWPOS* position);
    void OnShowWindow(BOOL show, UINT status);

private:
    fw::ScopedBitmap m_bmpClose;
    CQQHtml m_page;
};

// Enter and Escape close none of the login windows and never reach their
// pages; true when `msg` is one of them.
bool IsEnterOrEscapeKey(const MSG* msg);
