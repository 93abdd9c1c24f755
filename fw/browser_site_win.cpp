#include "fw/browser_site_win.h"

#include <mshtmdid.h>
#include <mshtml.h>

#include "fw/dhtml_dialog_win.h"

namespace {

std::atomic<long> g_liveSites{0};

}  // namespace

CBrowserControlSite::CBrowserControlSite(CDHtmlDialog* dialog)
    : m_dialog(dialog), m_browserEvents(this, DIID_DWebBrowserEvents2), m_documentEvents(this, fw::kDiidHtmlDocumentEvents2) {
    ++g_liveSites;
}

CBrowserControlSite::~CBrowserControlSite() { --g_liveSites; }

long CBrowserControlSite::LiveCount() { return g_liveSites.load(); }

ULONG CBrowserControlSite::AddRef() { return ++m_refs; }

ULONG CBrowserControlSite::Release() {
    const ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

IUnknown* CBrowserControlSite::GetInterfaceHook(REFIID) { return nullptr; }

HRESULT CBrowserControlSite::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    IUnknown* part = GetInterfaceHook(iid);
    if (part == nullptr) {
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            part = &m_clientSite;
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            part = &m_inPlaceSite;
        else if (iid == IID_IOleInPlaceFrame || iid == IID_IOleInPlaceUIWindow)
            part = &m_inPlaceFrame;
        else if (iid == IID_IDocHostUIHandler)
            part = &m_uiHandler;
    }
    if (part == nullptr) return E_NOINTERFACE;
    *object = part;
    AddRef();
    return S_OK;
}

// --- client site ---------------------------------------------------------

HRESULT CBrowserControlSite::ClientSitePart::GetContainer(IOleContainer** container) {
    if (container != nullptr) *container = nullptr;
    return E_NOINTERFACE;
}

// --- in-place site and frame ---------------------------------------------

namespace {

HRESULT DialogWindow(CDHtmlDialog* dialog, HWND* hwnd) {
    if (hwnd == nullptr) return E_POINTER;
    *hwnd = dialog != nullptr ? dialog->m_hWnd : nullptr;
    return *hwnd != nullptr ? S_OK : E_FAIL;
}

}  // namespace

HRESULT CBrowserControlSite::InPlaceSitePart::GetWindow(HWND* hwnd) { return DialogWindow(m_site->m_dialog, hwnd); }

HRESULT CBrowserControlSite::InPlaceSitePart::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                               LPRECT position, LPRECT clip,
                                                               LPOLEINPLACEFRAMEINFO info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || info == nullptr)
        return E_POINTER;
    CDHtmlDialog* dialog = m_site->m_dialog;
    if (dialog == nullptr || dialog->m_hWnd == nullptr) return E_FAIL;
    *frame = &m_site->m_inPlaceFrame;
    m_site->AddRef();
    *document = nullptr;
    ::GetClientRect(dialog->m_hWnd, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = dialog->m_hWnd;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT CBrowserControlSite::InPlaceSitePart::OnPosRectChange(LPCRECT position) {
    if (position == nullptr || m_site->m_dialog == nullptr) return E_FAIL;
    fw::ComPtr<IOleInPlaceObject> inPlace;
    if (IWebBrowser2* browser = m_site->m_dialog->Browser();
        browser != nullptr && SUCCEEDED(browser->QueryInterface(IID_PPV_ARGS(&inPlace))))
        inPlace->SetObjectRects(position, position);
    return S_OK;
}

HRESULT CBrowserControlSite::InPlaceFramePart::GetWindow(HWND* hwnd) { return DialogWindow(m_site->m_dialog, hwnd); }

// --- IDocHostUIHandler: the dialog answers --------------------------------

#define FW_TO_DIALOG(call)                        \
    CDHtmlDialog* dialog = m_site->m_dialog;      \
    if (dialog == nullptr) return E_NOTIMPL;      \
    try {                                         \
        return dialog->call;                      \
    } catch (...) {                               \
        return E_UNEXPECTED;                      \
    }

HRESULT CBrowserControlSite::UIHandlerPart::ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object) {
    FW_TO_DIALOG(ShowContextMenu(id, point, target, object))
}
HRESULT CBrowserControlSite::UIHandlerPart::GetHostInfo(DOCHOSTUIINFO* info) { FW_TO_DIALOG(GetHostInfo(info)) }
HRESULT CBrowserControlSite::UIHandlerPart::ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                                                   IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) {
    FW_TO_DIALOG(ShowUI(id, active, target, frame, document))
}
HRESULT CBrowserControlSite::UIHandlerPart::HideUI() { FW_TO_DIALOG(HideUI()) }
HRESULT CBrowserControlSite::UIHandlerPart::UpdateUI() { FW_TO_DIALOG(UpdateUI()) }
HRESULT CBrowserControlSite::UIHandlerPart::EnableModeless(BOOL enable) { FW_TO_DIALOG(EnableModeless(enable)) }
HRESULT CBrowserControlSite::UIHandlerPart::OnDocWindowActivate(BOOL activate) {
    FW_TO_DIALOG(OnDocWindowActivate(activate))
}
HRESULT CBrowserControlSite::UIHandlerPart::OnFrameWindowActivate(BOOL activate) {
    FW_TO_DIALOG(OnFrameWindowActivate(activate))
}
HRESULT CBrowserControlSite::UIHandlerPart::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) {
    FW_TO_DIALOG(ResizeBorder(border, window, frameWindow))
}
HRESULT CBrowserControlSite::UIHandlerPart::TranslateAccelerator(LPMSG msg, const GUID* group, DWORD id) {
    FW_TO_DIALOG(TranslateAccelerator(msg, group, id))
}
HRESULT CBrowserControlSite::UIHandlerPart::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
    FW_TO_DIALOG(GetOptionKeyPath(key, reserved))
}
HRESULT CBrowserControlSite::UIHandlerPart::GetDropTarget(IDropTarget* target, IDropTarget** result) {
    FW_TO_DIALOG(GetDropTarget(target, result))
}
HRESULT CBrowserControlSite::UIHandlerPart::GetExternal(IDispatch** dispatch) { FW_TO_DIALOG(GetExternal(dispatch)) }
HRESULT CBrowserControlSite::UIHandlerPart::TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* result) {
    FW_TO_DIALOG(TranslateUrl(translate, url, result))
}
HRESULT CBrowserControlSite::UIHandlerPart::FilterDataObject(IDataObject* object, IDataObject** result) {
    FW_TO_DIALOG(FilterDataObject(object, result))
}

#undef FW_TO_DIALOG

// --- event sinks -----------------------------------------------------------

HRESULT CBrowserControlSite::EventSinkPart::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != m_events) return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

bool CBrowserControlSite::EventSinkPart::IsBrowserSink() const { return IsEqualIID(m_events, DIID_DWebBrowserEvents2); }

HRESULT CBrowserControlSite::EventSinkPart::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CBrowserControlSite::EventSinkPart::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                                   EXCEPINFO*, UINT*) {
    CDHtmlDialog* dialog = m_site->m_dialog;
    if (dialog == nullptr || params == nullptr) return S_OK;
    // The handlers may end the dialog: keep the site alive until they return.
    fw::ComPtr<IDispatch> self(this);
    try {
        if (IsBrowserSink())
            dialog->InvokeBrowserEvent(id, params);
        else
            dialog->InvokeDocumentEvent(id, params, result);
    } catch (...) {
        return E_UNEXPECTED;
    }
    return S_OK;
}
