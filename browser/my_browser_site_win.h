#pragma once

// The browser site of CDHtmDlgEx dialogs: the framework's site with
// IDocHostShowUI added, so the dialog decides about the page's message
// boxes and help.

#include <mshtmhst.h>

#include "fw/browser_site_win.h"

class CMyBrowserControlSite : public CBrowserControlSite {
public:
    explicit CMyBrowserControlSite(CDHtmlDialog* dialog) : CBrowserControlSite(dialog), m_showUi(this) {}

protected:
    IUnknown* GetInterfaceHook(REFIID iid) override;

private:
    class ShowUIPart : public IDocHostShowUI {
    public:
        explicit ShowUIPart(CMyBrowserControlSite* site) : m_site(site) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return m_site->QueryInterface(iid, object); }
        STDMETHODIMP_(ULONG) AddRef() override { return m_site->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_site->Release(); }
        STDMETHODIMP ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                                 DWORD helpContext, LRESULT* result) override;
        STDMETHODIMP ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT point,
                              IDispatch* hit) override;

    private:
        CMyBrowserControlSite* m_site;
    };

    ShowUIPart m_showUi;
};
