#pragma once

// CBtnEx: the skinned push button. Its look is one strip of four equal frames
// (normal, hover, pressed, disabled) with magenta as the transparent colour;
// the parent's skin shows through, painted by the parent's WM_ERASEBKGND.

#include <string>

#include "fw/button_win.h"
#include "fw/handles_win.h"
#include "fw/image_list_win.h"
#include "fw/tooltip_win.h"

class CBtnEx : public CButton {
public:
    CBtnEx() = default;

    // Installs a strip; the handle stays the caller's. With `resize` the
    // button takes the size of one frame.
    BOOL SetImage(HBITMAP strip, BOOL resize = FALSE);
    BOOL SetImage(const fw::ScopedBitmap& strip, BOOL resize = FALSE) { return SetImage(strip.Get(), resize); }
    void SetToolTip(const std::wstring& text);

    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(DRAWITEMSTRUCT* item) override;

    BOOL m_bTracking = FALSE;
    BOOL m_bHover = FALSE;
    RECT m_rcWindow{};
    std::wstring m_strText;
    COLORREF m_clrText = 0;
    CImageList m_imgList;
    BOOL m_bPressed = FALSE;
    BOOL m_bHandCursor = FALSE;
    BOOL m_bHasTip = FALSE;
    CToolTipCtrl m_tip;
    std::wstring m_strTip;

    // The frame the last paint showed, for tests and owners.
    int LastFrame() const { return m_lastFrame; }

protected:
    void PreSubclassWindow() override;
    // A button made again (a re-skin, another showing of its dialog) starts
    // without hover, tracking or a tooltip of the old window.
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()
    BOOL OnEraseBkgnd(HDC dc);
    void OnSize(UINT type, int cx, int cy);
    void OnMouseMove(UINT flags, POINT point);
    void OnMouseHover(UINT flags, POINT point);
    void OnMouseLeave();
    void OnLButtonUp(UINT flags, POINT point);
    BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    LRESULT OnNotify(WPARAM wp, LPARAM lp);

private:
    void PaintParentBackground(HDC dc);
    void DrawFrameImage(HDC dc, int frame, int width, int height);

    int m_lastFrame = -1;
};
