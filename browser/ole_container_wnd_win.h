#pragma once

// COleContainerWnd: hosts one ActiveX control in a window of its own
// ("FlashControl"), windowless where the control allows it, and paints a
// windowless control into a layered window with per-pixel alpha, so that
// only what the control draws is seen and clicks fall through elsewhere.
//
// The container is one object implementing every site interface the control
// asks for, with one reference count. Its owner deletes it; Release never
// does, because the owner's window code holds it by plain pointer for the
// object's whole life. Destruction closes the control, which lets go of the
// site before the object goes.

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <atomic>
#include <memory>

#include <wrl/client.h>

template <class TObj>
class COleContainerWnd : public IOleClientSite,
                         public IOleInPlaceSiteWindowless,
                         public IOleInPlaceFrame,
                         public IStorage,
                         public IDispatch {
public:
    COleContainerWnd();
    virtual ~COleContainerWnd();
    COleContainerWnd(const COleContainerWnd&) = delete;
    COleContainerWnd& operator=(const COleContainerWnd&) = delete;

    // IUnknown, shared by every interface.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // Creates the host window and the control in it; TRUE when the control
    // is created and shown. On failure no host window is left behind.
    virtual BOOL CreateControl(const CLSID& clsid, DWORD exStyle, DWORD style, HWND parent, HINSTANCE instance);
    // Paints the control into `dc`, or into the host window when there is none
    // (a layered host always paints itself).
    virtual void DrawControl(HDC dc);
    virtual void OnClassNotRegistered() {}
    // Around the control's show verb: the moment to set its properties.
    virtual BOOL BeforeShowContent() { return TRUE; }
    virtual BOOL AfterShowContent() { return TRUE; }

    // IDispatch: the control's event sink. Every event is ignored.
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return S_OK; }

    // IOleWindow (through both the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceSiteEx
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override;
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return S_FALSE; }
    STDMETHODIMP RequestUIActivate() override { return S_FALSE; }

    // IOleInPlaceSiteWindowless
    STDMETHODIMP CanWindowlessActivate() override { return S_OK; }
    STDMETHODIMP GetCapture() override { return S_FALSE; }
    STDMETHODIMP SetCapture(BOOL) override { return S_FALSE; }
    STDMETHODIMP GetFocus() override { return S_OK; }
    STDMETHODIMP SetFocus(BOOL) override { return S_OK; }
    STDMETHODIMP GetDC(LPCRECT, DWORD, HDC*) override { return S_FALSE; }
    STDMETHODIMP ReleaseDC(HDC) override { return S_FALSE; }
    STDMETHODIMP InvalidateRect(LPCRECT, BOOL) override;
    STDMETHODIMP InvalidateRgn(HRGN, BOOL) override { return S_OK; }
    STDMETHODIMP ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
    STDMETHODIMP AdjustRect(LPRECT) override { return S_FALSE; }
    STDMETHODIMP OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) override { return S_FALSE; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return E_NOTIMPL; }

    // IStorage: the control is given a storage it cannot use.
    STDMETHODIMP CreateStream(const OLECHAR*, DWORD, DWORD, DWORD, IStream**) override { return E_NOTIMPL; }
    STDMETHODIMP OpenStream(const OLECHAR*, void*, DWORD, DWORD, IStream**) override { return E_NOTIMPL; }
    STDMETHODIMP CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD, IStorage**) override { return E_NOTIMPL; }
    STDMETHODIMP OpenStorage(const OLECHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) override { return E_NOTIMPL; }
    STDMETHODIMP CopyTo(DWORD, const IID*, SNB, IStorage*) override { return E_NOTIMPL; }
    STDMETHODIMP MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Revert() override { return E_NOTIMPL; }
    STDMETHODIMP EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override { return E_NOTIMPL; }
    STDMETHODIMP DestroyElement(const OLECHAR*) override { return E_NOTIMPL; }
    STDMETHODIMP RenameElement(const OLECHAR*, const OLECHAR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*, const FILETIME*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetClass(REFCLSID) override { return S_OK; }
    STDMETHODIMP SetStateBits(DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }

    // The host window, null before CreateControl and after a failed one.
    HWND GetHWND() const { return m_hWnd; }
    TObj* GetControl() const { return m_lpControl.Get(); }
    BOOL IsTransparent() const { return m_bTransparent; }

protected:
    // One 32-bit top-down DIB selected into its own memory DC.
    class CDibBuffer;

    CLSID m_clsid{};
    Microsoft::WRL::ComPtr<TObj> m_lpControl;
    Microsoft::WRL::ComPtr<IOleObject> m_lpO;
    // IViewObjectEx when the control has it (m_bViewEx), else IViewObject.
    Microsoft::WRL::ComPtr<IViewObject> m_lpViewObject;
    // IOleInPlaceObjectWindowless when active windowless (m_bWindowless).
    Microsoft::WRL::ComPtr<IOleInPlaceObject> m_lpInPlaceObj;
    Microsoft::WRL::ComPtr<IConnectionPointContainer> m_lpConCont;
    Microsoft::WRL::ComPtr<IConnectionPoint> m_lpConPoint;
    DWORD m_dwConPointID = 0;
    HWND m_hWnd = nullptr;
    HWND m_hWndParent = nullptr;
    HINSTANCE m_hInst = nullptr;
    BOOL m_bChild = FALSE;
    BOOL m_bTransparent = FALSE;
    BOOL m_bFixTransparency = FALSE;
    DWORD m_dwFlashVersion = 0;
    RECT m_rcBounds{};
    std::unique_ptr<CDibBuffer> m_onBlack;
    std::unique_ptr<CDibBuffer> m_onWhite;
    int m_iBPP = 0;
    bool m_bViewEx = false;
    bool m_bWindowless = false;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    BOOL CreateControlObject();
    void DrawTransparent();
    void DestroyHostWindow();

    std::atomic<ULONG> m_iRef{0};
};
