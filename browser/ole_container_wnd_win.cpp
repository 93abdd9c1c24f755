#include "browser/ole_container_wnd_win.h"

#include <ole2.h>

#include <cstring>

#include "browser/flash_rules.h"
#include "browser/shockwave_flash_win.h"
#include "fw/dib_section_win.h"
#include "fw/handles_win.h"

namespace {

constexpr wchar_t kHostClass[] = L"FlashControl";
constexpr wchar_t kHostTitle[] = L"FlashWindow";

}  // namespace

template <class TObj>
class COleContainerWnd<TObj>::CDibBuffer {
public:
    CDibBuffer(int width, int height) : m_dc(CreateCompatibleDC(nullptr)) {
        // Top-down: row 0 first in memory.
        m_bitmap = fw::Create32BitSection(width, height, fw::RowOrder::TopDown, &m_bits);
        if (m_bitmap.IsValid()) m_select = std::make_unique<fw::ScopedSelectObject>(m_dc.Get(), m_bitmap.Get());
        m_bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    }
    CDibBuffer(const CDibBuffer&) = delete;
    CDibBuffer& operator=(const CDibBuffer&) = delete;

    bool IsValid() const { return m_dc.IsValid() && m_bitmap.IsValid() && m_bits != nullptr; }
    HDC Dc() const { return m_dc.Get(); }
    BYTE* Bits() const { return static_cast<BYTE*>(m_bits); }
    size_t Bytes() const { return m_bytes; }
    void Fill(BYTE value) const {
        GdiFlush();  // GDI may still be drawing into the bits
        std::memset(m_bits, value, m_bytes);
    }

private:
    // Declaration order: the selection (last) is undone before the bitmap
    // and the DC go.
    fw::ScopedCreatedDc m_dc;
    fw::ScopedBitmap m_bitmap;
    void* m_bits = nullptr;
    size_t m_bytes = 0;
    std::unique_ptr<fw::ScopedSelectObject> m_select;
};

template <class TObj>
COleContainerWnd<TObj>::COleContainerWnd() = default;

template <class TObj>
COleContainerWnd<TObj>::~COleContainerWnd() {
    if (m_lpConPoint && m_dwConPointID != 0) m_lpConPoint->Unadvise(m_dwConPointID);
    if (m_lpO) m_lpO->Close(OLECLOSE_NOSAVE);
    m_lpConPoint.Reset();
    m_lpConCont.Reset();
    m_lpInPlaceObj.Reset();
    m_lpViewObject.Reset();
    m_lpControl.Reset();
    m_lpO.Reset();
    // The host window keeps a pointer to this object: it must not outlive it.
    DestroyHostWindow();
    m_onWhite.reset();
    m_onBlack.reset();
}

template <class TObj>
void COleContainerWnd<TObj>::DestroyHostWindow() {
    if (m_hWnd == nullptr) return;
    const HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd);
}

// --- IUnknown ----------------------------------------------------------------

template <class TObj>
HRESULT COleContainerWnd<TObj>::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // IOleClientSite is the pointer the control is handed at creation: a
    // query for it through that same pointer must succeed.
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx || iid == IID_IOleInPlaceSiteWindowless)
        *object = static_cast<IOleInPlaceSiteWindowless*>(this);
    else if (iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IStorage)
        *object = static_cast<IStorage*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

template <class TObj>
ULONG COleContainerWnd<TObj>::AddRef() {
    return ++m_iRef;
}

template <class TObj>
ULONG COleContainerWnd<TObj>::Release() {
    return --m_iRef;
}

// --- sites -------------------------------------------------------------------

template <class TObj>
HRESULT COleContainerWnd<TObj>::GetContainer(IOleContainer** container) {
    if (container != nullptr) *container = nullptr;
    return E_NOINTERFACE;
}

template <class TObj>
HRESULT COleContainerWnd<TObj>::GetWindow(HWND* hwnd) {
    if (hwnd == nullptr) return E_POINTER;
    *hwnd = m_hWnd;
    return S_OK;
}

template <class TObj>
HRESULT COleContainerWnd<TObj>::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                 LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || info == nullptr)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = RECT{};
    ::GetClientRect(m_hWnd, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = m_hWnd;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

template <class TObj>
HRESULT COleContainerWnd<TObj>::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
    if (noRedraw != nullptr) *noRedraw = FALSE;
    return S_OK;
}

template <class TObj>
HRESULT COleContainerWnd<TObj>::InvalidateRect(LPCRECT, BOOL) {
    // Drawing makes buffers; a failure to get memory stays on this side of
    // the control's call.
    try {
        DrawControl(nullptr);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// --- creation ----------------------------------------------------------------

template <class TObj>
BOOL COleContainerWnd<TObj>::CreateControl(const CLSID& clsid, DWORD exStyle, DWORD style, HWND parent,
                                           HINSTANCE instance) {
    if (m_hWnd != nullptr || m_lpO) return FALSE;  // one control per container
    m_clsid = clsid;
    m_hWndParent = parent;
    m_hInst = instance;
    m_bTransparent = (exStyle & WS_EX_LAYERED) != 0;
    m_bChild = (style & WS_CHILD) != 0;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &COleContainerWnd::WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return FALSE;

    RECT rect{};
    if (m_bChild)
        ::GetClientRect(parent, &rect);
    else
        ::GetWindowRect(parent, &rect);
    m_hWnd = CreateWindowExW(exStyle | WS_EX_TRANSPARENT, kHostClass, kHostTitle, style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, instance,
                             static_cast<COleContainerWnd*>(this));
    if (m_hWnd == nullptr) return FALSE;
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    // A control that cannot be made leaves nothing on the screen, not an
    // empty host window for its owner to move around.
    if (!CreateControlObject()) {
        DestroyHostWindow();
        return FALSE;
    }
    return TRUE;
}

template <class TObj>
BOOL COleContainerWnd<TObj>::CreateControlObject() {
    const HRESULT created = OleCreate(m_clsid, IID_IOleObject, OLERENDER_DRAW, nullptr,
                                      static_cast<IOleClientSite*>(this), static_cast<IStorage*>(this),
                                      reinterpret_cast<void**>(m_lpO.ReleaseAndGetAddressOf()));
    if (created == REGDB_E_CLASSNOTREG) OnClassNotRegistered();
    if (FAILED(created) || !m_lpO) return FALSE;

    OleSetContainedObject(m_lpO.Get(), TRUE);
    if (FAILED(m_lpO.As(&m_lpControl))) return FALSE;

    Microsoft::WRL::ComPtr<IViewObjectEx> viewEx;
    if (SUCCEEDED(m_lpO.As(&viewEx))) {
        m_lpViewObject = viewEx;
        m_bViewEx = true;
    } else if (FAILED(m_lpO.As(&m_lpViewObject))) {
        return FALSE;
    }

    if (m_bTransparent) {
        Microsoft::WRL::ComPtr<IOleInPlaceObjectWindowless> windowless;
        if (SUCCEEDED(m_lpO.As(&windowless))) {
            m_lpInPlaceObj = windowless;
            m_bWindowless = true;
        } else {
            m_bTransparent = FALSE;
        }
    }
    if (!m_lpInPlaceObj && FAILED(m_lpO.As(&m_lpInPlaceObj))) return FALSE;

    if (!BeforeShowContent()) return FALSE;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (FAILED(m_lpO->DoVerb(OLEIVERB_SHOW, nullptr, static_cast<IOleClientSite*>(this), 0, m_hWnd, &client)))
        return FALSE;
    return AfterShowContent();
}

// --- host window -------------------------------------------------------------

template <class TObj>
LRESULT CALLBACK COleContainerWnd<TObj>::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        // Messages arrive before CreateWindowEx returns the handle.
        auto* creating = static_cast<COleContainerWnd*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
        if (creating != nullptr) creating->m_hWnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
    }
    auto* self = reinterpret_cast<COleContainerWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self == nullptr || msg == WM_NCCREATE || msg == WM_NCDESTROY) return DefWindowProcW(hwnd, msg, wp, lp);
    try {
        return self->HandleMessage(hwnd, msg, wp, lp);
    } catch (...) {
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

template <class TObj>
LRESULT COleContainerWnd<TObj>::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            if (m_lpInPlaceObj) {
                RECT client{};
                ::GetClientRect(hwnd, &client);
                m_lpInPlaceObj->SetObjectRects(&client, &client);
            }
            return 0;
        case WM_PAINT:
            if (!m_bTransparent) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(hwnd, &paint);
                DrawControl(dc);
                EndPaint(hwnd, &paint);
                return 0;
            }
            break;
        case WM_NCHITTEST:
            if (m_bViewEx) {
                RECT window{};
                ::GetWindowRect(hwnd, &window);
                const RECT bounds{0, 0, window.right - window.left, window.bottom - window.top};
                const POINT point{static_cast<short>(LOWORD(lp)) - window.left,
                                  static_cast<short>(HIWORD(lp)) - window.top};
                DWORD hit = HITRESULT_OUTSIDE;
                auto* view = static_cast<IViewObjectEx*>(m_lpViewObject.Get());
                // Where the movie draws nothing, clicks reach what lies below.
                if (SUCCEEDED(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, point, 1, &hit)))
                    return hit == HITRESULT_OUTSIDE ? HTTRANSPARENT : HTCLIENT;
            }
            break;
        default:
            if (m_bWindowless && (msg == WM_SETCURSOR || (msg >= WM_KEYDOWN && msg <= WM_CHAR) ||
                                  (msg >= WM_MOUSEFIRST && msg <= WM_MOUSEWHEEL))) {
                auto* windowless = static_cast<IOleInPlaceObjectWindowless*>(m_lpInPlaceObj.Get());
                LRESULT result = 0;
                if (windowless->OnWindowMessage(msg, wp, lp, &result) == S_OK) return result;
            }
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// --- drawing -----------------------------------------------------------------

template <class TObj>
void COleContainerWnd<TObj>::DrawControl(HDC dc) {
    if (m_hWnd == nullptr || !m_lpO) return;
    if (!m_bTransparent) {
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        if (dc != nullptr) {
            OleDraw(m_lpO.Get(), DVASPECT_CONTENT, dc, &client);
        } else {
            fw::ScopedGetDc own(m_hWnd);
            if (own.IsValid()) OleDraw(m_lpO.Get(), DVASPECT_CONTENT, own.Get(), &client);
        }
        return;
    }
    DrawTransparent();
}

template <class TObj>
void COleContainerWnd<TObj>::DrawTransparent() {
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    if (width <= 0 || height <= 0) return;
    const bool resized = width != m_rcBounds.right - m_rcBounds.left || height != m_rcBounds.bottom - m_rcBounds.top;
    if (!m_onBlack || resized) {
        m_onWhite.reset();
        m_onBlack = std::make_unique<CDibBuffer>(width, height);
        if (m_bFixTransparency) m_onWhite = std::make_unique<CDibBuffer>(width, height);
        m_rcBounds = window;
        if (m_iBPP == 0 && m_onBlack->IsValid()) m_iBPP = GetDeviceCaps(m_onBlack->Dc(), BITSPIXEL);
    }
    if (!m_onBlack->IsValid()) return;
    const RECT area{0, 0, width, height};

    if (m_iBPP != 32) {
        fw::ScopedGetDc parent(m_hWndParent);
        if (parent.IsValid()) BitBlt(m_onBlack->Dc(), 0, 0, width, height, parent.Get(), 0, 0, SRCCOPY);
        OleDraw(m_lpO.Get(), DVASPECT_TRANSPARENT, m_onBlack->Dc(), &area);
    } else if (m_bFixTransparency && m_onWhite && m_onWhite->IsValid()) {
        m_onBlack->Fill(0x00);
        m_onWhite->Fill(0xFF);
        OleDraw(m_lpO.Get(), DVASPECT_CONTENT, m_onBlack->Dc(), &area);
        OleDraw(m_lpO.Get(), DVASPECT_CONTENT, m_onWhite->Dc(), &area);
        GdiFlush();
        flash::RecoverAlpha(m_onBlack->Bits(), m_onWhite->Bits(), m_onBlack->Bytes() / 4);
    } else {
        m_onBlack->Fill(0x00);
        OleDraw(m_lpO.Get(), DVASPECT_CONTENT, m_onBlack->Dc(), &area);
        GdiFlush();
    }

    POINT destination{window.left, window.top};
    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(m_hWnd, nullptr, &destination, &size, m_onBlack->Dc(), &source, 0, &blend,
                        m_iBPP == 32 ? ULW_ALPHA : ULW_OPAQUE);
}

// The one control this program hosts.
template class COleContainerWnd<IShockwaveFlash>;
