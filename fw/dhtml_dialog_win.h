#pragma once

// CDHtmlDialog: a dialog whose face is a page in the system WebBrowser
// control, hosted as an OLE control in our own container (CBrowserControlSite).
//
// Two tables route what the browser reports, both searched in the most
// derived class first:
//   - the event sink map: DWebBrowserEvents2 events of the control (id 102),
//     first matching entry handles the event;
//       BEGIN_EVENTSINK_MAP(CMine, CDHtmlDialog)
//           ON_BEFORENAVIGATE2(CDHtmlDialog::kBrowserId, OnBeforeNavigate2)
//       END_EVENTSINK_MAP()
//   - the DHTML event map: mouse and other events of the loaded document,
//     matched by the element's class name (exact) or tag name (any case);
//     a class's map replaces its base's. A handler's S_FALSE cancels the
//     page's default action for the event.
//       BEGIN_DHTML_EVENT_MAP(CMine)
//           DHTML_EVENT_CLASS(DISPID_HTMLELEMENTEVENTS_ONMOUSEOVER, L"button", OnButtonOver)
//           DHTML_EVENT_TAG(DISPID_HTMLELEMENTEVENTS_ONMOUSEDOWN, L"body", OnDragDown)
//       END_DHTML_EVENT_MAP()
//
// Every access to the page's document (its body, elements, script object)
// goes through GetPageDocument() and late-bound IDispatch calls, so a test
// can hand the dialog a document of its own.

#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>

#include <string>

#include "fw/com_util_win.h"
#include "fw/dialog_win.h"

class CDHtmlDialog;
class CBrowserControlSite;

namespace fw {

struct EventSinkEntry {
    UINT controlId;
    DISPID dispid;
    void (*thunk)(CDHtmlDialog* dialog, DISPPARAMS* params);  // nullptr ends a table
};

struct EventSinkMap {
    const EventSinkMap* (*base)();
    const EventSinkEntry* entries;
};

enum class DHtmlMatch { ByClass, ByTag };

struct DHtmlEventEntry {
    DHtmlMatch match;
    const wchar_t* name;
    DISPID event;
    HRESULT (*thunk)(CDHtmlDialog* dialog, IDispatch* element);  // nullptr ends a table
};

// Document event numbers (MSHTML dispatch ids) the client's maps use.
namespace dhtml {
constexpr DISPID kOnMouseOver = static_cast<DISPID>(0x80010008);
constexpr DISPID kOnMouseOut = static_cast<DISPID>(0x80010009);
constexpr DISPID kOnMouseDown = -605;
constexpr DISPID kOnMouseMove = -606;
constexpr DISPID kOnMouseUp = -607;
constexpr DISPID kOnContextMenu = 1023;
}  // namespace dhtml

namespace sink {

// Event arguments arrive last first; an event whose arguments do not have
// the expected count and types is dropped rather than misread.
VARIANT* Arg(DISPPARAMS* params, UINT index, UINT count);
VARIANT_BOOL* BoolRef(VARIANT* value);
IDispatch* Dispatch(VARIANT* value);

// void OnX(IDispatch* frame, VARIANT* url, VARIANT* flags, VARIANT* target,
//          VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel)
template <auto F>
void BeforeNavigate2(CDHtmlDialog* d, DISPPARAMS* p) {
    VARIANT_BOOL* cancel = BoolRef(Arg(p, 6, 7));
    if (cancel == nullptr) return;
    (Target<F>(d)->*F)(Dispatch(Arg(p, 0, 7)), Arg(p, 1, 7), Arg(p, 2, 7), Arg(p, 3, 7), Arg(p, 4, 7), Arg(p, 5, 7),
                       cancel);
}
// void OnX(IDispatch* frame, VARIANT* url, VARIANT* targetFrame, VARIANT* status, VARIANT_BOOL* cancel)
template <auto F>
void NavigateError(CDHtmlDialog* d, DISPPARAMS* p) {
    VARIANT_BOOL* cancel = BoolRef(Arg(p, 4, 5));
    if (cancel == nullptr) return;
    (Target<F>(d)->*F)(Dispatch(Arg(p, 0, 5)), Arg(p, 1, 5), Arg(p, 2, 5), Arg(p, 3, 5), cancel);
}
// void OnX(IDispatch* frame, VARIANT* url), for NavigateComplete2 and DocumentComplete
template <auto F>
void FrameUrl(CDHtmlDialog* d, DISPPARAMS* p) {
    if (Arg(p, 1, 2) == nullptr) return;
    (Target<F>(d)->*F)(Dispatch(Arg(p, 0, 2)), Arg(p, 1, 2));
}

template <auto F>
HRESULT Element(CDHtmlDialog* d, IDispatch* element) {
    return (Target<F>(d)->*F)(element);
}

}  // namespace sink
}  // namespace fw

#define DECLARE_EVENTSINK_MAP()                                   \
public:                                                           \
    static const ::fw::EventSinkMap* GetThisEventSinkMap();       \
    const ::fw::EventSinkMap* GetEventSinkMap() const override;   \
                                                                  \
protected:

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                                        \
    const ::fw::EventSinkMap* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); }       \
    const ::fw::EventSinkMap* theClass::GetThisEventSinkMap() {                                         \
        using ThisClass = theClass;                                                                     \
        using TheBaseClass = baseClass;                                                                 \
        static const ::fw::EventSinkEntry entries[] = {
#define END_EVENTSINK_MAP()                                                              \
        {0, 0, nullptr}};                                                                \
        static const ::fw::EventSinkMap map{&TheBaseClass::GetThisEventSinkMap, entries}; \
        return &map;                                                                     \
    }
#define ON_BEFORENAVIGATE2(id, fn) {id, 250, &::fw::sink::BeforeNavigate2<&ThisClass::fn>},
#define ON_NAVIGATECOMPLETE2(id, fn) {id, 252, &::fw::sink::FrameUrl<&ThisClass::fn>},
#define ON_DOCUMENTCOMPLETE(id, fn) {id, 259, &::fw::sink::FrameUrl<&ThisClass::fn>},
#define ON_NAVIGATEERROR(id, fn) {id, 271, &::fw::sink::NavigateError<&ThisClass::fn>},

#define DECLARE_DHTML_EVENT_MAP()                                  \
public:                                                            \
    const ::fw::DHtmlEventEntry* GetDHtmlEventMap() const override; \
                                                                   \
protected:

#define BEGIN_DHTML_EVENT_MAP(theClass)                                      \
    const ::fw::DHtmlEventEntry* theClass::GetDHtmlEventMap() const {        \
        using ThisClass = theClass;                                          \
        static const ::fw::DHtmlEventEntry entries[] = {
#define END_DHTML_EVENT_MAP()                                \
        {::fw::DHtmlMatch::ByTag, nullptr, 0, nullptr}};     \
        return entries;                                      \
    }
#define DHTML_EVENT_CLASS(event, name, fn) {::fw::DHtmlMatch::ByClass, name, event, &::fw::sink::Element<&ThisClass::fn>},
#define DHTML_EVENT_TAG(event, name, fn) {::fw::DHtmlMatch::ByTag, name, event, &::fw::sink::Element<&ThisClass::fn>},

class CDHtmlDialog : public CDialog {
public:
    // The browser control's id in the dialog.
    static constexpr UINT kBrowserId = 102;

    explicit CDHtmlDialog(UINT idTemplate, CWnd* parent = nullptr);
    ~CDHtmlDialog() override;

    void Navigate(const std::wstring& url);
    IWebBrowser2* Browser() const { return m_browser.Get(); }
    // The control's own window ("Shell Embedding"), once in place.
    HWND BrowserWindow() const;

    // The loaded page's document; empty while none is loaded.
    virtual fw::ComPtr<IDispatch> GetPageDocument();

    BOOL PreTranslateMessage(MSG* msg) override;

    // Called by the site's sinks, and by tests acting as the control.
    void InvokeBrowserEvent(DISPID id, DISPPARAMS* params);
    // Routes a document event through the DHTML event map; returns the
    // handler's result (S_OK when no entry matches).
    HRESULT RouteDHtmlEvent(DISPID event, IDispatch* element);
    void InvokeDocumentEvent(DISPID id, DISPPARAMS* params, VARIANT* result);
    // The DWebBrowserEvents2 sink the control calls (tests deliver events
    // that Wine's control never fires through it).
    IDispatch* BrowserEventSink() const;

    // IDocHostUIHandler, answered for the site.
    virtual HRESULT ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object);
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* info);
    virtual HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                           IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document);
    virtual HRESULT HideUI();
    virtual HRESULT UpdateUI();
    virtual HRESULT EnableModeless(BOOL enable);
    virtual HRESULT OnDocWindowActivate(BOOL activate);
    virtual HRESULT OnFrameWindowActivate(BOOL activate);
    virtual HRESULT ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow);
    virtual HRESULT TranslateAccelerator(LPMSG msg, const GUID* group, DWORD id);
    virtual HRESULT GetOptionKeyPath(LPOLESTR* key, DWORD reserved);
    virtual HRESULT GetDropTarget(IDropTarget* target, IDropTarget** result);
    virtual HRESULT GetExternal(IDispatch** dispatch);
    virtual HRESULT TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* result);
    virtual HRESULT FilterDataObject(IDataObject* object, IDataObject** result);

    virtual BOOL CanAccessExternal();
    virtual BOOL IsExternalDispatchSafe();

    // Host flags reported to the browser.
    DWORD m_dwHostFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;

    static const fw::EventSinkMap* GetThisEventSinkMap();
    virtual const fw::EventSinkMap* GetEventSinkMap() const;
    virtual const fw::DHtmlEventEntry* GetDHtmlEventMap() const;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The site the control is given; a derived dialog may return its own
    // (one reference, owned by the caller).
    virtual fw::ComPtr<CBrowserControlSite> CreateControlSite();

    // The framework's notifications.
    virtual void OnBeforeNavigate(IDispatch* frame, const std::wstring& url);
    virtual void OnNavigateComplete(IDispatch* frame, const std::wstring& url);
    virtual void OnDocumentComplete(IDispatch* frame, const std::wstring& url);

    // The framework's own event handlers (its event sink map).
    void OnBeforeNavigate2Event(IDispatch* frame, VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                VARIANT* headers, VARIANT_BOOL* cancel);
    void OnNavigateComplete2Event(IDispatch* frame, VARIANT* url);
    void OnDocumentCompleteEvent(IDispatch* frame, VARIANT* url);

    // Whether `frame` is the top-level browser rather than an embedded frame.
    bool IsTopFrame(IDispatch* frame) const;

private:
    bool CreateBrowser();
    void DestroyBrowser();
    void ConnectDocumentEvents();
    void DisconnectDocumentEvents();
    void ResizeBrowser();

    fw::ComPtr<CBrowserControlSite> m_site;
    fw::ComPtr<IOleObject> m_oleObject;
    fw::ComPtr<IWebBrowser2> m_browser;
    DWORD m_browserCookie = 0;
    fw::ComPtr<IConnectionPoint> m_documentPoint;
    DWORD m_documentCookie = 0;
};
