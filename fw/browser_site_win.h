#pragma once

// CBrowserControlSite: the container side of the hosted WebBrowser control.
//
// One reference-counted object; each COM interface the control asks for is a
// small part that forwards QueryInterface, AddRef and Release to it, and
// every call that concerns the page goes to the owning CDHtmlDialog. The
// dialog holds one reference, the control holds its own; the object is
// deleted when the last is released. Once the dialog lets go (Detach), late
// calls from the control find no dialog and do nothing.

#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>

#include <atomic>

class CDHtmlDialog;

class CBrowserControlSite {
public:
    explicit CBrowserControlSite(CDHtmlDialog* dialog);
    virtual ~CBrowserControlSite();
    CBrowserControlSite(const CBrowserControlSite&) = delete;
    CBrowserControlSite& operator=(const CBrowserControlSite&) = delete;

    // The object's identity.
    HRESULT QueryInterface(REFIID iid, void** object);
    ULONG AddRef();
    ULONG Release();

    IOleClientSite* ClientSite() { return &m_clientSite; }
    // The DWebBrowserEvents2 sink the control's connection point calls.
    IDispatch* BrowserEvents() { return &m_browserEvents; }
    // The HTMLDocumentEvents2 sink a loaded document calls.
    IDispatch* DocumentEvents() { return &m_documentEvents; }

    // The dialog is going: no call reaches it from now on.
    void Detach() { m_dialog = nullptr; }
    CDHtmlDialog* Dialog() const { return m_dialog; }

    // Sites alive in the process: a leak shows as a count that never
    // returns to zero.
    static long LiveCount();

protected:
    // Interfaces a derived site adds; the returned part is not yet
    // referenced (QueryInterface adds the reference).
    virtual IUnknown* GetInterfaceHook(REFIID iid);

private:
#define FW_FORWARD_IUNKNOWN                                                                                   \
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return m_site->QueryInterface(iid, object); } \
    STDMETHODIMP_(ULONG) AddRef() override { return m_site->AddRef(); }                                     \
    STDMETHODIMP_(ULONG) Release() override { return m_site->Release(); }

    class ClientSitePart : public IOleClientSite {
    public:
        explicit ClientSitePart(CBrowserControlSite* site) : m_site(site) {}
        FW_FORWARD_IUNKNOWN
        STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
        STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
        STDMETHODIMP GetContainer(IOleContainer** container) override;
        STDMETHODIMP ShowObject() override { return S_OK; }
        STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
        STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    private:
        CBrowserControlSite* m_site;
    };

    class InPlaceSitePart : public IOleInPlaceSite {
    public:
        explicit InPlaceSitePart(CBrowserControlSite* site) : m_site(site) {}
        FW_FORWARD_IUNKNOWN
        STDMETHODIMP GetWindow(HWND* hwnd) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
        STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
        STDMETHODIMP OnUIActivate() override { return S_OK; }
        STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
        STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
        STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
        STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
        STDMETHODIMP DiscardUndoState() override { return S_OK; }
        STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
        STDMETHODIMP OnPosRectChange(LPCRECT position) override;

    private:
        CBrowserControlSite* m_site;
    };

    class InPlaceFramePart : public IOleInPlaceFrame {
    public:
        explicit InPlaceFramePart(CBrowserControlSite* site) : m_site(site) {}
        FW_FORWARD_IUNKNOWN
        STDMETHODIMP GetWindow(HWND* hwnd) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
        STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
        STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
        STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
        STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
        STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
        STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    private:
        CBrowserControlSite* m_site;
    };

    // Every method is answered by the dialog (its host flags, its context
    // menu rule, ...).
    class UIHandlerPart : public IDocHostUIHandler {
    public:
        explicit UIHandlerPart(CBrowserControlSite* site) : m_site(site) {}
        FW_FORWARD_IUNKNOWN
        STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object) override;
        STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
        STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                            IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
        STDMETHODIMP HideUI() override;
        STDMETHODIMP UpdateUI() override;
        STDMETHODIMP EnableModeless(BOOL enable) override;
        STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
        STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
        STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
        STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD id) override;
        STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
        STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** result) override;
        STDMETHODIMP GetExternal(IDispatch** dispatch) override;
        STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* result) override;
        STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** result) override;

    private:
        CBrowserControlSite* m_site;
    };

    // A dispinterface sink: only Invoke matters.
    class EventSinkPart : public IDispatch {
    public:
        EventSinkPart(CBrowserControlSite* site, const IID& events) : m_site(site), m_events(events) {}
        bool IsBrowserSink() const;
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
        STDMETHODIMP_(ULONG) AddRef() override { return m_site->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_site->Release(); }
        STDMETHODIMP GetTypeInfoCount(UINT* count) override;
        STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
        STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
        STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                            UINT*) override;

    private:
        CBrowserControlSite* m_site;
        const IID m_events;
    };
#undef FW_FORWARD_IUNKNOWN

    std::atomic<ULONG> m_refs{0};
    CDHtmlDialog* m_dialog;
    ClientSitePart m_clientSite{this};
    InPlaceSitePart m_inPlaceSite{this};
    InPlaceFramePart m_inPlaceFrame{this};
    UIHandlerPart m_uiHandler{this};
    EventSinkPart m_browserEvents;
    EventSinkPart m_documentEvents;
};
