#pragma once

// CDHtmDlgEx: the base of dialogs whose whole face is a web page that acts
// as a window skin: no context menu and no 3-D border, dragged by its page
// background, "button" elements with a three-frame sprite that click on
// release, a silent browser, "app:" command addresses that never navigate,
// and no browser error pages.

#include <string>
#include <vector>

#include "fw/dhtml_dialog_win.h"

class CDHtmDlgEx : public CDHtmlDialog {
public:
    explicit CDHtmDlgEx(UINT idTemplate, CWnd* parent = nullptr);
    ~CDHtmDlgEx() override;

    // Calls the page's script function `name` with string arguments in call
    // order; a page without the function gets no call, and every failure is
    // silent.
    void CallPageScript(const char* name, const std::vector<std::wstring>& args);

    // The browser's page messages (alert boxes) and help: S_FALSE lets the
    // browser show its own.
    virtual HRESULT ShowMessage(HWND hwnd, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                                DWORD helpContext, LRESULT* result);
    virtual HRESULT ShowHelp(HWND hwnd, LPOLESTR helpFile, UINT command, DWORD data, POINT point, IDispatch* hit);

    HRESULT ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object) override;
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;
    BOOL CanAccessExternal() override;
    BOOL IsExternalDispatchSafe() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    fw::ComPtr<CBrowserControlSite> CreateControlSite() override;
    void OnNavigateComplete(IDispatch* frame, const std::wstring& url) override;

    // Cancels every navigation error so the browser's error page never shows.
    virtual BOOL OnNavigateError(IDispatch* frame, VARIANT* url, VARIANT* targetFrame, VARIANT* status,
                                 VARIANT_BOOL* cancel);

    DECLARE_EVENTSINK_MAP()
    void OnNavigateErrorEvent(IDispatch* frame, VARIANT* url, VARIANT* targetFrame, VARIANT* status,
                              VARIANT_BOOL* cancel);
    void OnCommandFilter(IDispatch* frame, VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                         VARIANT* headers, VARIANT_BOOL* cancel);

    DECLARE_DHTML_EVENT_MAP()
    HRESULT OnButtonOut(IDispatch* element);
    HRESULT OnButtonOver(IDispatch* element);
    HRESULT OnButtonDown(IDispatch* element);
    HRESULT OnButtonUp(IDispatch* element);
    HRESULT OnCaptionDown(IDispatch* element);
    HRESULT OnCaptionUp(IDispatch* element);
    HRESULT OnCaptionMove(IDispatch* element);
    HRESULT OnNoMenu(IDispatch* element);

    // Sends the non-client message that lets the page drag the dialog.
    void SendCaptionMessage(UINT message);

private:
    bool HoldsCapture() const;
    void EndPress(POINT clientPoint);

    fw::ComPtr<IDispatch> m_pressed;  // the "button" holding the mouse capture
};

// Sprite frames of a "button" element: its background holds normal, hover
// and pressed side by side, each as wide as the element.
namespace page_button {
bool IsDisabled(IDispatch* element);
void ShowFrame(IDispatch* element, int frame);
void Click(IDispatch* element);
// The element's offset rectangle (offsetLeft/Top/Width/Height).
RECT OffsetRect(IDispatch* element);
}  // namespace page_button
