#pragma once

// CStaticEx: static text painted over its parent's skin, in "微软雅黑" with
// its own colours, wrapped character by character and grown to the lines it
// needs; optionally with a small image or icon beside the text, and acting as
// a link (hand cursor, hover colour, underline). Users set the members
// directly; the font members count until the first paint only.

#include <string>

#include "fw/handles_win.h"
#include "fw/image_list_win.h"
#include "fw/static_win.h"
#include "ui/line_walk.h"
#include "ui/static_ex_paint_win.h"

class CStaticEx : public CStatic {
public:
    CStaticEx() = default;
    ~CStaticEx() override;

    // Shows `bitmap` (magenta transparent) beside the text, on the left. The
    // bitmap stays the caller's. FALSE when it is not a bitmap.
    BOOL SetImage(HBITMAP bitmap);
    // The font the text is drawn with, made on first use.
    HFONT GetTextFont();
    // Draws the text into `dc` (the control's window area) and grows the
    // control when its lines need more height.
    virtual void DrawTextLines(HDC dc);

    std::wstring m_strText;
    int m_nFontWidth = ui::kStaticKeepFontWidth;
    int m_nFontWeight = ui::kStaticKeepFontWeight;
    int m_nFontHeight = 0;
    BOOL m_bHandCursor = FALSE;
    BOOL m_bUnderline = FALSE;
    fw::ScopedFont m_font;
    COLORREF m_clrText = 0;
    COLORREF m_clrHover = 0;
    int m_nLineSpacing = ui::kStaticDefaultLineSpacing;
    BOOL m_bHoverColor = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bTracking = FALSE;
    HICON m_hIcon = nullptr;  // the caller's; drawn 16 x 16 when there is no image
    CImageList m_imgList;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    BOOL m_bImageRight = FALSE;

    // The lines the last paint walked, for owners that size things after it.
    const ui::StaticWalk& LastWalk() const { return m_lastWalk; }

protected:
    void PreSubclassWindow() override;

    DECLARE_MESSAGE_MAP()
    void OnPaint();
    // PrintWindow and a parent's WM_PRINT get the same picture as the screen.
    LRESULT OnPrintClient(WPARAM dc, LPARAM flags);
    BOOL OnEraseBkgnd(HDC dc);
    BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    void OnMouseMove(UINT flags, POINT point);
    void OnMouseHover(UINT flags, POINT point);
    void OnMouseLeave();

private:
    StaticExImage Image() const;
    void PaintInto(HDC target);

    ui::StaticWalk m_lastWalk;
};
