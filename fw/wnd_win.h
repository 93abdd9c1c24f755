#pragma once

// CWnd: a window object bound to one HWND, with per-class message maps.
//
// A window of the framework's own class keeps `this` in GWLP_USERDATA from
// WM_NCCREATE until WM_NCDESTROY; any other window (dialogs, system controls,
// windows made by hosted controls) is bound through the system's subclass
// chain, whose reference data holds `this`, and its user data stays its
// owner's. A message is looked up in the
// object's most derived map first, then in each base's; an unhandled message
// goes to Default(), the window's previous procedure. A handler may destroy
// its own object: the dispatcher notices and does not touch it again. No
// exception leaves a window procedure.
//
// Declaring a map:
//   class CMine : public CWnd {
//       DECLARE_MESSAGE_MAP()
//       BOOL OnEraseBkgnd(HDC dc);
//   };
//   BEGIN_MESSAGE_MAP(CMine, CWnd)
//       ON_WM_ERASEBKGND()
//   END_MESSAGE_MAP()
//
// Each ON_ macro names the handler and its signature; a wrong signature is a
// compile error, not a cast.

#include <windows.h>

#include <string>
#include <type_traits>

class CWnd;

namespace fw {

using MsgThunk = LRESULT (*)(CWnd* wnd, WPARAM wParam, LPARAM lParam);

struct MsgMapEntry {
    UINT message;
    UINT code;  // with `filtered`: the notification code and the id range to match
    UINT idFirst;
    UINT idLast;
    MsgThunk thunk;  // nullptr ends a table
    bool filtered;   // a command or notification entry rather than a whole message
};

struct MessageMap {
    const MessageMap* (*base)();
    const MsgMapEntry* entries;
};

// The class a member-function pointer belongs to, so that a thunk can call a
// handler declared in a base class on the derived object.
template <class>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
    using Signature = R(A...);
};

template <auto F, class Sig>
constexpr bool HasSignature = std::is_same_v<typename MemberOf<decltype(F)>::Signature, Sig>;

template <auto F>
auto* Target(CWnd* wnd) {
    return static_cast<typename MemberOf<decltype(F)>::Class*>(wnd);
}

inline POINT PointFrom(LPARAM lp) {
    return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

namespace crack {

// BOOL OnEraseBkgnd(HDC dc)
template <auto F>
LRESULT EraseBkgnd(CWnd* w, WPARAM wp, LPARAM) {
    static_assert(HasSignature<F, BOOL(HDC)>, "BOOL OnEraseBkgnd(HDC)");
    return (Target<F>(w)->*F)(reinterpret_cast<HDC>(wp));
}
// LRESULT OnNcHitTest(POINT screenPoint)
template <auto F>
LRESULT NcHitTest(CWnd* w, WPARAM, LPARAM lp) {
    static_assert(HasSignature<F, LRESULT(POINT)>, "LRESULT OnNcHitTest(POINT)");
    return (Target<F>(w)->*F)(PointFrom(lp));
}
// void OnX(UINT hitOrFlags, POINT point) for mouse and non-client mouse messages
template <auto F>
LRESULT Mouse(CWnd* w, WPARAM wp, LPARAM lp) {
    static_assert(HasSignature<F, void(UINT, POINT)>, "void OnX(UINT, POINT)");
    (Target<F>(w)->*F)(static_cast<UINT>(wp), PointFrom(lp));
    return 0;
}
// void OnX()
template <auto F>
LRESULT Void(CWnd* w, WPARAM, LPARAM) {
    static_assert(HasSignature<F, void()>, "void OnX()");
    (Target<F>(w)->*F)();
    return 0;
}
// void OnSize(UINT type, int cx, int cy)
template <auto F>
LRESULT Size(CWnd* w, WPARAM wp, LPARAM lp) {
    static_assert(HasSignature<F, void(UINT, int, int)>, "void OnSize(UINT, int, int)");
    (Target<F>(w)->*F)(static_cast<UINT>(wp), static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
    return 0;
}
// BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message)
template <auto F>
LRESULT SetCursor(CWnd* w, WPARAM wp, LPARAM lp) {
    static_assert(HasSignature<F, BOOL(HWND, UINT, UINT)>, "BOOL OnSetCursor(HWND, UINT, UINT)");
    return (Target<F>(w)->*F)(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));
}
// void OnTimer(UINT_PTR id)
template <auto F>
LRESULT Timer(CWnd* w, WPARAM wp, LPARAM) {
    static_assert(HasSignature<F, void(UINT_PTR)>, "void OnTimer(UINT_PTR)");
    (Target<F>(w)->*F)(wp);
    return 0;
}
// void OnShowWindow(BOOL show, UINT status)
template <auto F>
LRESULT ShowWindow(CWnd* w, WPARAM wp, LPARAM lp) {
    static_assert(HasSignature<F, void(BOOL, UINT)>, "void OnShowWindow(BOOL, UINT)");
    (Target<F>(w)->*F)(static_cast<BOOL>(wp), static_cast<UINT>(lp));
    return 0;
}
// void OnCommandRange(UINT id)
template <auto F>
LRESULT CommandRange(CWnd* w, WPARAM wp, LPARAM) {
    static_assert(HasSignature<F, void(UINT)>, "void OnCommandRange(UINT)");
    (Target<F>(w)->*F)(LOWORD(wp));
    return 0;
}
// void OnNotify(NMHDR* header, LRESULT* result)
template <auto F>
LRESULT Notify(CWnd* w, WPARAM, LPARAM lp) {
    static_assert(HasSignature<F, void(NMHDR*, LRESULT*)>, "void OnNotify(NMHDR*, LRESULT*)");
    LRESULT result = 0;
    (Target<F>(w)->*F)(reinterpret_cast<NMHDR*>(lp), &result);
    return result;
}
// BOOL OnCopyData(HWND from, COPYDATASTRUCT* data)
template <auto F>
LRESULT CopyData(CWnd* w, WPARAM wp, LPARAM lp) {
    static_assert(HasSignature<F, BOOL(HWND, COPYDATASTRUCT*)>, "BOOL OnCopyData(HWND, COPYDATASTRUCT*)");
    return (Target<F>(w)->*F)(reinterpret_cast<HWND>(wp), reinterpret_cast<COPYDATASTRUCT*>(lp));
}
// void OnWindowPosChanging(WINDOWPOS* position), void OnWindowPosChanged(WINDOWPOS* position)
template <auto F>
LRESULT WindowPos(CWnd* w, WPARAM, LPARAM lp) {
    static_assert(HasSignature<F, void(WINDOWPOS*)>, "void OnWindowPosX(WINDOWPOS*)");
    (Target<F>(w)->*F)(reinterpret_cast<WINDOWPOS*>(lp));
    return 0;
}
// LRESULT OnMessage(WPARAM, LPARAM)
template <auto F>
LRESULT Message(CWnd* w, WPARAM wp, LPARAM lp) {
    static_assert(HasSignature<F, LRESULT(WPARAM, LPARAM)>, "LRESULT OnMessage(WPARAM, LPARAM)");
    return (Target<F>(w)->*F)(wp, lp);
}

}  // namespace crack

// Runs PreTranslateMessage on the message's window and its parents; true when
// one of them consumed the message. Every message loop of the program calls it.
bool PreTranslate(MSG* msg);

// The module that holds the dialog templates and images: the executable.
HINSTANCE ResourceInstance();

}  // namespace fw

#define DECLARE_MESSAGE_MAP()                               \
public:                                                     \
    static const ::fw::MessageMap* GetThisMessageMap();     \
    const ::fw::MessageMap* GetMessageMap() const override; \
                                                            \
protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                 \
    const ::fw::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }    \
    const ::fw::MessageMap* theClass::GetThisMessageMap() {                                    \
        using ThisClass = theClass;                                                            \
        using TheBaseClass = baseClass;                                                        \
        static const ::fw::MsgMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                          \
        {0, 0, 0, 0, nullptr, false}};                                                    \
        static const ::fw::MessageMap map{&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                               \
    }

#define FW_MSG(msg, thunk) {msg, 0, 0, 0, thunk, false},
#define ON_WM_ERASEBKGND() FW_MSG(WM_ERASEBKGND, &::fw::crack::EraseBkgnd<&ThisClass::OnEraseBkgnd>)
#define ON_WM_NCHITTEST() FW_MSG(WM_NCHITTEST, &::fw::crack::NcHitTest<&ThisClass::OnNcHitTest>)
#define ON_WM_NCLBUTTONDOWN() FW_MSG(WM_NCLBUTTONDOWN, &::fw::crack::Mouse<&ThisClass::OnNcLButtonDown>)
#define ON_WM_NCLBUTTONDBLCLK() FW_MSG(WM_NCLBUTTONDBLCLK, &::fw::crack::Mouse<&ThisClass::OnNcLButtonDblClk>)
#define ON_WM_LBUTTONDBLCLK() FW_MSG(WM_LBUTTONDBLCLK, &::fw::crack::Mouse<&ThisClass::OnLButtonDblClk>)
#define ON_WM_LBUTTONDOWN() FW_MSG(WM_LBUTTONDOWN, &::fw::crack::Mouse<&ThisClass::OnLButtonDown>)
#define ON_WM_LBUTTONUP() FW_MSG(WM_LBUTTONUP, &::fw::crack::Mouse<&ThisClass::OnLButtonUp>)
#define ON_WM_MOUSEMOVE() FW_MSG(WM_MOUSEMOVE, &::fw::crack::Mouse<&ThisClass::OnMouseMove>)
#define ON_WM_NCMOUSEMOVE() FW_MSG(WM_NCMOUSEMOVE, &::fw::crack::Mouse<&ThisClass::OnNcMouseMove>)
#define ON_WM_RBUTTONUP() FW_MSG(WM_RBUTTONUP, &::fw::crack::Mouse<&ThisClass::OnRButtonUp>)
#define ON_WM_WINDOWPOSCHANGING() FW_MSG(WM_WINDOWPOSCHANGING, &::fw::crack::WindowPos<&ThisClass::OnWindowPosChanging>)
#define ON_WM_MOUSEHOVER() FW_MSG(WM_MOUSEHOVER, &::fw::crack::Mouse<&ThisClass::OnMouseHover>)
#define ON_WM_MOUSELEAVE() FW_MSG(WM_MOUSELEAVE, &::fw::crack::Void<&ThisClass::OnMouseLeave>)
#define ON_WM_SIZE() FW_MSG(WM_SIZE, &::fw::crack::Size<&ThisClass::OnSize>)
#define ON_WM_SETCURSOR() FW_MSG(WM_SETCURSOR, &::fw::crack::SetCursor<&ThisClass::OnSetCursor>)
#define ON_WM_PAINT() FW_MSG(WM_PAINT, &::fw::crack::Void<&ThisClass::OnPaint>)
#define ON_WM_CLOSE() FW_MSG(WM_CLOSE, &::fw::crack::Void<&ThisClass::OnClose>)
#define ON_WM_DESTROY() FW_MSG(WM_DESTROY, &::fw::crack::Void<&ThisClass::OnDestroy>)
#define ON_WM_TIMER() FW_MSG(WM_TIMER, &::fw::crack::Timer<&ThisClass::OnTimer>)
#define ON_WM_SHOWWINDOW() FW_MSG(WM_SHOWWINDOW, &::fw::crack::ShowWindow<&ThisClass::OnShowWindow>)
#define ON_WM_WINDOWPOSCHANGED() FW_MSG(WM_WINDOWPOSCHANGED, &::fw::crack::WindowPos<&ThisClass::OnWindowPosChanged>)
#define ON_WM_COPYDATA() FW_MSG(WM_COPYDATA, &::fw::crack::CopyData<&ThisClass::OnCopyData>)
// LRESULT memberFn(WPARAM, LPARAM)
#define ON_MESSAGE(msg, memberFn) FW_MSG(msg, &::fw::crack::Message<&ThisClass::memberFn>)
// void memberFn(): a BN_CLICKED (or menu/accelerator) command of one id
#define ON_COMMAND(id, memberFn) {WM_COMMAND, 0, id, id, &::fw::crack::Void<&ThisClass::memberFn>, true},
#define ON_BN_CLICKED(id, memberFn) ON_COMMAND(id, memberFn)
// void memberFn(UINT id)
#define ON_COMMAND_RANGE(first, last, memberFn) \
    {WM_COMMAND, 0, first, last, &::fw::crack::CommandRange<&ThisClass::memberFn>, true},
// void memberFn(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, memberFn) \
    {WM_NOTIFY, static_cast<UINT>(code), id, id, &::fw::crack::Notify<&ThisClass::memberFn>, true},

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    // The object bound to a window by this framework, or nullptr.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Creates a window. With no class name the framework's own class is used
    // and the object is bound from WM_NCCREATE; a system class (BUTTON, ...)
    // is created and then subclassed.
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                  HWND parent, UINT_PTR idOrMenu);
    // Binds an existing window: PreSubclassWindow, then this object's
    // procedure in front of the window's own.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    virtual BOOL PreTranslateMessage(MSG* msg);

    // Thin forwards to the system.
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    BOOL MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) { return ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
    BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE) { return MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint); }
    BOOL SetWindowPos(HWND after, int x, int y, int w, int h, UINT flags) { return ::SetWindowPos(m_hWnd, after, x, y, w, h, flags); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void SetWindowText(const std::wstring& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }
    void SetFont(HFONT font, BOOL redraw = TRUE) { ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) { return ::SetTimer(m_hWnd, id, milliseconds, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    // Centres the window over its owner, or over the work area without one.
    void CenterWindow();
    // Centres the window over the desktop's work area, whatever its owner.
    void CenterOnDesktop();
    void ScreenToClient(POINT* pt) const { ::ScreenToClient(m_hWnd, pt); }
    void ClientToScreen(POINT* pt) const { ::ClientToScreen(m_hWnd, pt); }

protected:
    static const fw::MessageMap* GetThisMessageMap();
    virtual const fw::MessageMap* GetMessageMap() const;

    // Looks the message up in the maps; unhandled messages go to Default.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The window's previous procedure (or DefWindowProc) for any message.
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Default processing of the message being dispatched.
    LRESULT Default();

    virtual void PreSubclassWindow() {}
    // After WM_NCDESTROY, once the window is gone; an object that owns itself
    // may delete itself here.
    virtual void PostNcDestroy() {}
    // A notification the parent received for this control (WM_DRAWITEM).
    virtual BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    // Binds the object to a window of our own class (procedure WndProc).
    void Attach(HWND hwnd);
    // Binds the object to any other window by joining its subclass chain.
    bool AttachBySubclass(HWND hwnd);

private:
    const fw::MsgMapEntry* FindEntry(UINT msg, WPARAM wp, LPARAM lp) const;
    void Detach();
    static LRESULT Dispatch(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void CenterOver(const RECT& area);

    bool m_subclassed = false;
    MSG m_current{};
    bool* m_destroyed = nullptr;  // set when the object is deleted mid-dispatch
};
