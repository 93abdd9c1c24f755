#include "fw/wnd_win.h"

#include "fw/system_library_win.h"

#include <commctrl.h>

#include <utility>
#include <vector>

namespace fw {
namespace {

constexpr wchar_t kWndClass[] = L"CorvaneWnd";
// Our place in a subclassed window's chain; comctl32 keys subclasses by
// procedure and id, so other subclassers of the same window never collide.
constexpr UINT_PTR kSubclassId = 0x7251;

// GetWindowSubclass is exported by ordinal only (411), in every comctl32
// that has window subclassing.
BOOL LookUpSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* ref) {
    using Fn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    static const Fn getWindowSubclass = [] {
        // Normally loaded already, in the version the manifest names; else
        // the system folder's, never one beside the program. Kept loaded for
        // the process, as the pointer is.
        HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
        if (comctl == nullptr) comctl = LoadSystemLibrary(L"comctl32.dll").Take();
        return comctl != nullptr
                   ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(comctl, MAKEINTRESOURCEA(411))))
                   : nullptr;
    }();
    return getWindowSubclass != nullptr && getWindowSubclass(hwnd, proc, id, ref);
}

}  // namespace

HINSTANCE ResourceInstance() { return GetModuleHandleW(nullptr); }

bool PreTranslate(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = GetAncestor(hwnd, GA_PARENT)) {
        if (hwnd == GetDesktopWindow()) break;
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd); wnd != nullptr && wnd->PreTranslateMessage(msg))
            return true;
    }
    return false;
}

}  // namespace fw

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_destroyed != nullptr) *m_destroyed = true;
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        // Unbind first: the messages of destruction must not reach an object
        // that is already half gone.
        HWND hwnd = m_hWnd;
        Detach();
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    // Only a window of our own class keeps us in its user data; in any other
    // window that slot belongs to the window's owner and may hold anything.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &CWnd::WndProc)
        return reinterpret_cast<CWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    DWORD_PTR ref = 0;
    if (fw::LookUpSubclass(hwnd, &CWnd::SubclassProc, fw::kSubclassId, &ref)) return reinterpret_cast<CWnd*>(ref);
    return nullptr;
}

const fw::MessageMap* CWnd::GetThisMessageMap() {
    static const fw::MsgMapEntry entries[] = {{0, 0, 0, 0, nullptr, false}};
    static const fw::MessageMap map{nullptr, entries};
    return &map;
}

const fw::MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& r,
                    HWND parent, UINT_PTR idOrMenu) {
    if (m_hWnd != nullptr) return FALSE;
    HINSTANCE instance = fw::ResourceInstance();
    HMENU menu = reinterpret_cast<HMENU>(idOrMenu);
    if (className == nullptr) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        if (!GetClassInfoExW(instance, fw::kWndClass, &wc)) {
            wc = WNDCLASSEXW{};
            wc.cbSize = sizeof wc;
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &CWnd::WndProc;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = fw::kWndClass;
            if (!RegisterClassExW(&wc)) return FALSE;
        }
        HWND hwnd = CreateWindowExW(exStyle, fw::kWndClass, windowName, style, r.left, r.top, r.right - r.left,
                                    r.bottom - r.top, parent, menu, instance, this);
        return hwnd != nullptr && m_hWnd == hwnd;
    }
    HWND hwnd = CreateWindowExW(exStyle, className, windowName, style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, parent, menu, instance, nullptr);
    if (hwnd == nullptr) return FALSE;
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (m_hWnd != nullptr || hwnd == nullptr || FromHandlePermanent(hwnd) != nullptr) return FALSE;
    m_hWnd = hwnd;
    PreSubclassWindow();
    m_hWnd = nullptr;
    return AttachBySubclass(hwnd) ? TRUE : FALSE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent != nullptr && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    Detach();
    return hwnd;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

std::wstring CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int got = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD style = GetExStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void CWnd::CenterWindow() {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner == nullptr || !::IsWindowVisible(owner) || ::IsIconic(owner)) {
        CenterOnDesktop();
        return;
    }
    RECT area{};
    ::GetWindowRect(owner, &area);
    CenterOver(area);
}

void CWnd::CenterOnDesktop() {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    CenterOver(area);
}

void CWnd::CenterOver(const RECT& area) {
    RECT mine{};
    GetWindowRect(&mine);
    const int w = mine.right - mine.left, h = mine.bottom - mine.top;
    ::SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - w) / 2,
                   area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

const fw::MsgMapEntry* CWnd::FindEntry(UINT msg, WPARAM wp, LPARAM lp) const {
    UINT code = 0, id = 0;
    bool hasId = false;
    if (msg == WM_COMMAND) {
        code = HIWORD(wp);
        id = LOWORD(wp);
        hasId = true;
    } else if (msg == WM_NOTIFY) {
        if (const auto* header = reinterpret_cast<const NMHDR*>(lp)) {
            code = header->code;
            id = static_cast<UINT>(header->idFrom);
            hasId = true;
        }
    }
    for (const fw::MessageMap* map = GetMessageMap(); map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const fw::MsgMapEntry* e = map->entries; e->thunk != nullptr; ++e) {
            if (e->message != msg) continue;
            if (e->filtered && (!hasId || e->code != code || id < e->idFirst || id > e->idLast)) continue;
            return e;
        }
        if (map->base == nullptr) break;
    }
    return nullptr;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Owner-drawn controls draw themselves: the parent hands WM_DRAWITEM back
    // to the control's object, as the controls' users expect.
    if (msg == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (item != nullptr && item->CtlType != ODT_MENU) {
            CWnd* child = FromHandlePermanent(item->hwndItem);
            LRESULT result = 0;
            if (child != nullptr && child != this && child->OnChildNotify(msg, wp, lp, &result)) return result;
        }
    }
    if (const fw::MsgMapEntry* entry = FindEntry(msg, wp, lp)) return entry->thunk(this, wp, lp);
    return DefWindowProc(msg, wp, lp);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_subclassed) return ::DefSubclassProc(m_hWnd, msg, wp, lp);
    return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

bool CWnd::AttachBySubclass(HWND hwnd) {
    // The system chains subclassers and removes any one of them cleanly, so
    // a window that others (the browser, a player control) subclass too
    // keeps working whoever lets go first.
    if (!::SetWindowSubclass(hwnd, &CWnd::SubclassProc, fw::kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = hwnd;
    m_subclassed = true;
    return true;
}

void CWnd::Detach() {
    if (m_hWnd == nullptr) return;
    if (::IsWindow(m_hWnd)) {
        if (m_subclassed)
            ::RemoveWindowSubclass(m_hWnd, &CWnd::SubclassProc, fw::kSubclassId);
        else
            ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    }
    m_subclassed = false;
    m_hWnd = nullptr;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    return Dispatch(reinterpret_cast<CWnd*>(ref), hwnd, msg, wp, lp);
}

LRESULT CALLBACK CWnd::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* wnd = reinterpret_cast<CWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (wnd == nullptr && msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        wnd = cs != nullptr ? static_cast<CWnd*>(cs->lpCreateParams) : nullptr;
        if (wnd != nullptr) wnd->Attach(hwnd);
    }
    if (wnd == nullptr) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return Dispatch(wnd, hwnd, msg, wp, lp);
}

LRESULT CWnd::Dispatch(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    bool destroyed = false;
    bool* outer = std::exchange(wnd->m_destroyed, &destroyed);
    const MSG saved = std::exchange(wnd->m_current, MSG{hwnd, msg, wp, lp, 0, {}});
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the system's dispatcher.
        result = 0;
    }
    if (destroyed) {
        if (outer != nullptr) *outer = true;
        return result;
    }
    wnd->m_current = saved;
    wnd->m_destroyed = outer;
    if (msg == WM_NCDESTROY) {
        wnd->Detach();
        wnd->PostNcDestroy();
    }
    return result;
}
