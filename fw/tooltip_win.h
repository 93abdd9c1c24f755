#pragma once

// CToolTipCtrl: the common controls' tooltip window. The owner relays its
// mouse messages (RelayEvent), so the tool windows need not be subclassed by
// the control.

#include <windows.h>

#include <commctrl.h>

#include <string>

class CToolTipCtrl {
public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl();
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    BOOL Create(HWND owner, DWORD style = 0);
    // A tool covering the whole of `tool` (TTF_IDISHWND); `text` may be
    // LPSTR_TEXTCALLBACKW, in which case `tool` answers TTN_GETDISPINFOW.
    BOOL AddWindowTool(HWND owner, HWND tool, LPCWSTR text);
    // A tool for a rectangle of `owner` with id `id`.
    BOOL AddRectTool(HWND owner, UINT_PTR id, const RECT& rect, LPCWSTR text);
    void UpdateWindowToolText(HWND owner, HWND tool, const std::wstring& text);
    void RelayEvent(const MSG* msg);
    void SetDelayTime(DWORD which, int milliseconds);
    void Activate(BOOL active);
    void DestroyWindow();

    // Null once the tooltip window is gone, however it went: a tooltip is
    // owned by the top-level window and dies with it, and a stale handle
    // would keep a new one from being made.
    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK TrackDestroy(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
};
