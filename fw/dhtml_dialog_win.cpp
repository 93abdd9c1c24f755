#include "fw/dhtml_dialog_win.h"

#include <mshtmdid.h>
#include <mshtml.h>
#include <ole2.h>

#include "base/ascii_case.h"
#include "fw/browser_site_win.h"

namespace fw::sink {

VARIANT* Arg(DISPPARAMS* params, UINT index, UINT count) {
    if (params == nullptr || params->cArgs != count || index >= count || params->rgvarg == nullptr) return nullptr;
    return &params->rgvarg[count - 1 - index];
}

VARIANT_BOOL* BoolRef(VARIANT* value) {
    if (value == nullptr || value->vt != (VT_BYREF | VT_BOOL)) return nullptr;
    return value->pboolVal;
}

IDispatch* Dispatch(VARIANT* value) {
    if (value == nullptr) return nullptr;
    if (value->vt == VT_DISPATCH) return value->pdispVal;
    if (value->vt == (VT_BYREF | VT_DISPATCH) && value->ppdispVal != nullptr) return *value->ppdispVal;
    return nullptr;
}

}  // namespace fw::sink

const fw::EventSinkMap* CDHtmlDialog::GetThisEventSinkMap() {
    using ThisClass = CDHtmlDialog;
    static const fw::EventSinkEntry entries[] = {
        ON_BEFORENAVIGATE2(kBrowserId, OnBeforeNavigate2Event)
        ON_NAVIGATECOMPLETE2(kBrowserId, OnNavigateComplete2Event)
        ON_DOCUMENTCOMPLETE(kBrowserId, OnDocumentCompleteEvent)
        {0, 0, nullptr}};
    static const fw::EventSinkMap map{nullptr, entries};
    return &map;
}

const fw::EventSinkMap* CDHtmlDialog::GetEventSinkMap() const { return GetThisEventSinkMap(); }

const fw::DHtmlEventEntry* CDHtmlDialog::GetDHtmlEventMap() const {
    static const fw::DHtmlEventEntry none[] = {{fw::DHtmlMatch::ByTag, nullptr, 0, nullptr}};
    return none;
}

CDHtmlDialog::CDHtmlDialog(UINT idTemplate, CWnd* parent) : CDialog(idTemplate, parent) {}

CDHtmlDialog::~CDHtmlDialog() {
    // The control must let go of the site while this part still exists.
    DestroyBrowser();
}

BOOL CDHtmlDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CreateBrowser();
    return TRUE;
}

bool CDHtmlDialog::CreateBrowser() {
    if (m_browser || !fw::EnableControlContainer()) return false;
    m_site = CreateControlSite();
    if (!m_site) return false;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_oleObject)))) {
        DestroyBrowser();
        return false;
    }
    m_oleObject->SetClientSite(m_site->ClientSite());
    RECT client{};
    GetClientRect(&client);
    if (FAILED(m_oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site->ClientSite(), 0, m_hWnd, &client)) ||
        FAILED(m_oleObject.As(&m_browser))) {
        DestroyBrowser();
        return false;
    }
    fw::ComPtr<IConnectionPointContainer> points;
    fw::ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(m_browser.As(&points)) && SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)))
        point->Advise(m_site->BrowserEvents(), &m_browserCookie);
    if (HWND window = BrowserWindow()) ::SetWindowLongPtrW(window, GWLP_ID, kBrowserId);
    return true;
}

void CDHtmlDialog::DestroyBrowser() {
    DisconnectDocumentEvents();
    if (m_browser && m_browserCookie != 0) {
        fw::ComPtr<IConnectionPointContainer> points;
        fw::ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(m_browser.As(&points)) && SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)))
            point->Unadvise(m_browserCookie);
    }
    m_browserCookie = 0;
    if (m_oleObject) {
        fw::ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(m_oleObject.As(&inPlace))) inPlace->InPlaceDeactivate();
        m_oleObject->Close(OLECLOSE_NOSAVE);
        m_oleObject->SetClientSite(nullptr);
    }
    m_browser.Reset();
    m_oleObject.Reset();
    if (m_site) {
        m_site->Detach();
        m_site.Reset();
    }
}

fw::ComPtr<CBrowserControlSite> CDHtmlDialog::CreateControlSite() {
    return fw::ComPtr<CBrowserControlSite>(new CBrowserControlSite(this));
}

HWND CDHtmlDialog::BrowserWindow() const {
    fw::ComPtr<IOleWindow> window;
    HWND hwnd = nullptr;
    if (m_oleObject && SUCCEEDED(m_oleObject.As(&window))) window->GetWindow(&hwnd);
    return hwnd;
}

void CDHtmlDialog::Navigate(const std::wstring& url) {
    if (!m_browser) return;
    fw::ScopedBstr address(url);
    VARIANT empty;
    VariantInit(&empty);
    m_browser->Navigate(address.Get(), &empty, &empty, &empty, &empty);
}

void CDHtmlDialog::ResizeBrowser() {
    fw::ComPtr<IOleInPlaceObject> inPlace;
    if (!m_oleObject || FAILED(m_oleObject.As(&inPlace))) return;
    RECT client{};
    GetClientRect(&client);
    inPlace->SetObjectRects(&client, &client);
}

LRESULT CDHtmlDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE && wp != SIZE_MINIMIZED) ResizeBrowser();
    if (msg == WM_DESTROY) DestroyBrowser();
    return CDialog::WindowProc(msg, wp, lp);
}

BOOL CDHtmlDialog::PreTranslateMessage(MSG* msg) {
    const bool key = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    HWND browserWindow = key && m_browser ? BrowserWindow() : nullptr;
    if (browserWindow != nullptr && (msg->hwnd == browserWindow || ::IsChild(browserWindow, msg->hwnd))) {
        // The page gets its keys first (Tab between fields, Enter in a form,
        // its accelerators); what it leaves goes to the page window as is,
        // never to dialog navigation, which would close or steer the dialog.
        fw::ComPtr<IOleInPlaceActiveObject> active;
        if (SUCCEEDED(m_browser.As(&active)) && active->TranslateAccelerator(msg) == S_OK) return TRUE;
        return FALSE;
    }
    return CDialog::PreTranslateMessage(msg);
}

fw::ComPtr<IDispatch> CDHtmlDialog::GetPageDocument() {
    fw::ComPtr<IDispatch> document;
    if (m_browser) m_browser->get_Document(&document);
    return document;
}

bool CDHtmlDialog::IsTopFrame(IDispatch* frame) const {
    if (frame == nullptr || !m_browser) return false;
    fw::ComPtr<IUnknown> a, b;
    frame->QueryInterface(IID_PPV_ARGS(&a));
    m_browser.As(&b);
    // By pointer: MinGW's ComPtr has no operator==, so comparing two of them
    // compares only whether each is set.
    return a && a.Get() == b.Get();
}

IDispatch* CDHtmlDialog::BrowserEventSink() const { return m_site ? m_site->BrowserEvents() : nullptr; }

void CDHtmlDialog::InvokeBrowserEvent(DISPID id, DISPPARAMS* params) {
    for (const fw::EventSinkMap* map = GetEventSinkMap(); map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const fw::EventSinkEntry* e = map->entries; e->thunk != nullptr; ++e) {
            if (e->controlId == kBrowserId && e->dispid == id) {
                e->thunk(this, params);
                return;
            }
        }
        if (map->base == nullptr) break;
    }
}

HRESULT CDHtmlDialog::RouteDHtmlEvent(DISPID event, IDispatch* element) {
    if (element == nullptr) return S_OK;
    std::wstring className, tagName;
    bool haveClass = false, haveTag = false;
    for (const fw::DHtmlEventEntry* e = GetDHtmlEventMap(); e != nullptr && e->thunk != nullptr; ++e) {
        if (e->event != event || e->name == nullptr) continue;
        bool match = false;
        if (e->match == fw::DHtmlMatch::ByClass) {
            if (!haveClass) className = fw::GetStringProperty(element, L"className"), haveClass = true;
            match = className == e->name;
        } else {
            if (!haveTag) tagName = fw::GetStringProperty(element, L"tagName"), haveTag = true;
            match = EqualsNoCase(tagName, e->name);
        }
        if (match) return e->thunk(this, element);
    }
    return S_OK;
}

void CDHtmlDialog::InvokeDocumentEvent(DISPID id, DISPPARAMS* params, VARIANT* result) {
    if (params == nullptr || params->cArgs < 1 || params->rgvarg == nullptr) return;
    fw::ComPtr<IDispatch> event = fw::VariantDispatch(&params->rgvarg[params->cArgs - 1]);
    if (!event) return;
    fw::ComPtr<IDispatch> element = fw::GetDispatchProperty(event.Get(), L"srcElement");
    if (RouteDHtmlEvent(id, element.Get()) != S_FALSE) return;
    // A false result stops the element's default action (the context menu,
    // text selection on a press).
    VARIANT no;
    VariantInit(&no);
    no.vt = VT_BOOL;
    no.boolVal = VARIANT_FALSE;
    fw::PutProperty(event.Get(), L"returnValue", no);
    if (result != nullptr) {
        VariantClear(result);
        *result = no;
    }
}

void CDHtmlDialog::ConnectDocumentEvents() {
    DisconnectDocumentEvents();
    if (!m_site) return;
    fw::ComPtr<IDispatch> document = GetPageDocument();
    fw::ComPtr<IConnectionPointContainer> points;
    if (!document || FAILED(document.As(&points))) return;
    if (FAILED(points->FindConnectionPoint(fw::kDiidHtmlDocumentEvents2, &m_documentPoint))) return;
    if (FAILED(m_documentPoint->Advise(m_site->DocumentEvents(), &m_documentCookie))) {
        m_documentPoint.Reset();
        m_documentCookie = 0;
    }
}

void CDHtmlDialog::DisconnectDocumentEvents() {
    if (m_documentPoint && m_documentCookie != 0) m_documentPoint->Unadvise(m_documentCookie);
    m_documentPoint.Reset();
    m_documentCookie = 0;
}

void CDHtmlDialog::OnBeforeNavigate2Event(IDispatch* frame, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                          VARIANT_BOOL*) {
    OnBeforeNavigate(frame, fw::VariantText(url));
}

void CDHtmlDialog::OnNavigateComplete2Event(IDispatch* frame, VARIANT* url) {
    // A new top-level document: its events replace the old one's.
    if (IsTopFrame(frame)) ConnectDocumentEvents();
    OnNavigateComplete(frame, fw::VariantText(url));
}

void CDHtmlDialog::OnDocumentCompleteEvent(IDispatch* frame, VARIANT* url) {
    OnDocumentComplete(frame, fw::VariantText(url));
}

void CDHtmlDialog::OnBeforeNavigate(IDispatch*, const std::wstring&) {}
void CDHtmlDialog::OnNavigateComplete(IDispatch*, const std::wstring&) {}
void CDHtmlDialog::OnDocumentComplete(IDispatch*, const std::wstring&) {}

HRESULT CDHtmlDialog::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }

HRESULT CDHtmlDialog::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info == nullptr) return E_POINTER;
    info->dwFlags = m_dwHostFlags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT CDHtmlDialog::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                             IOleInPlaceUIWindow*) {
    return S_FALSE;
}
HRESULT CDHtmlDialog::HideUI() { return S_OK; }
HRESULT CDHtmlDialog::UpdateUI() { return S_OK; }
HRESULT CDHtmlDialog::EnableModeless(BOOL) { return S_OK; }
HRESULT CDHtmlDialog::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT CDHtmlDialog::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT CDHtmlDialog::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT CDHtmlDialog::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }

HRESULT CDHtmlDialog::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    if (key != nullptr) *key = nullptr;
    return E_NOTIMPL;
}

HRESULT CDHtmlDialog::GetDropTarget(IDropTarget*, IDropTarget** result) {
    if (result != nullptr) *result = nullptr;
    return E_NOTIMPL;
}

HRESULT CDHtmlDialog::GetExternal(IDispatch** dispatch) {
    if (dispatch == nullptr) return E_POINTER;
    // The client offers the page no window.external object of its own.
    *dispatch = nullptr;
    return S_FALSE;
}

HRESULT CDHtmlDialog::TranslateUrl(DWORD, LPWSTR, LPWSTR* result) {
    if (result != nullptr) *result = nullptr;
    return S_FALSE;
}

HRESULT CDHtmlDialog::FilterDataObject(IDataObject*, IDataObject** result) {
    if (result != nullptr) *result = nullptr;
    return S_FALSE;
}

BOOL CDHtmlDialog::CanAccessExternal() { return FALSE; }
BOOL CDHtmlDialog::IsExternalDispatchSafe() { return FALSE; }
