#include "fw/tooltip_win.h"

CToolTipCtrl::~CToolTipCtrl() { DestroyWindow(); }

BOOL CToolTipCtrl::Create(HWND owner, DWORD style) {
    if (m_hWnd != nullptr) return FALSE;
    m_hWnd = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (m_hWnd == nullptr) return FALSE;
    if (!SetWindowSubclass(m_hWnd, &CToolTipCtrl::TrackDestroy, 0, reinterpret_cast<DWORD_PTR>(this))) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

LRESULT CALLBACK CToolTipCtrl::TrackDestroy(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &CToolTipCtrl::TrackDestroy, 0);
        reinterpret_cast<CToolTipCtrl*>(self)->m_hWnd = nullptr;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

BOOL CToolTipCtrl::AddWindowTool(HWND owner, HWND tool, LPCWSTR text) {
    TTTOOLINFOW ti{};
    // The version 5 size: accepted by every common-controls version.
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddRectTool(HWND owner, UINT_PTR id, const RECT& rect, LPCWSTR text) {
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = owner;
    ti.uId = id;
    ti.rect = rect;
    ti.lpszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateWindowToolText(HWND owner, HWND tool, const std::wstring& text) {
    if (m_hWnd == nullptr) return;
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = const_cast<LPWSTR>(text.c_str());
    SendMessageW(m_hWnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::RelayEvent(const MSG* msg) {
    if (m_hWnd != nullptr) SendMessageW(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

void CToolTipCtrl::SetDelayTime(DWORD which, int milliseconds) {
    if (m_hWnd != nullptr) SendMessageW(m_hWnd, TTM_SETDELAYTIME, which, MAKELPARAM(milliseconds, 0));
}

void CToolTipCtrl::Activate(BOOL active) {
    if (m_hWnd != nullptr) SendMessageW(m_hWnd, TTM_ACTIVATE, active, 0);
}

void CToolTipCtrl::DestroyWindow() {
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}
