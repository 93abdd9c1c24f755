#include "browser/my_browser_site_win.h"

#include "browser/dhtm_dlg_ex_win.h"

IUnknown* CMyBrowserControlSite::GetInterfaceHook(REFIID iid) {
    if (IsEqualIID(iid, fw::kIidDocHostShowUI)) return &m_showUi;
    return CBrowserControlSite::GetInterfaceHook(iid);
}

// Only a CDHtmDlgEx decides; under any other dialog nothing is shown.
HRESULT CMyBrowserControlSite::ShowUIPart::ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type,
                                                       LPOLESTR helpFile, DWORD helpContext, LRESULT* result) {
    auto* dialog = dynamic_cast<CDHtmDlgEx*>(m_site->Dialog());
    if (dialog == nullptr) return S_OK;
    try {
        return dialog->ShowMessage(hwnd, text, caption, type, helpFile, helpContext, result);
    } catch (...) {
        return S_OK;
    }
}

HRESULT CMyBrowserControlSite::ShowUIPart::ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data,
                                                    POINT point, IDispatch* hit) {
    auto* dialog = dynamic_cast<CDHtmDlgEx*>(m_site->Dialog());
    if (dialog == nullptr) return S_OK;
    try {
        return dialog->ShowHelp(hwnd, helpFile, command, data, point, hit);
    } catch (...) {
        return S_OK;
    }
}
