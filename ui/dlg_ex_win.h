#pragma once

// CDlgEx: the skinned dialog frame every framed window of the client derives
// from. The window has no system caption or border: a skin is stretched over
// it as a nine-slice on erase, its outline is cut from the skin's magenta
// corners, and up to three CBtnEx caption buttons (close, maximise/restore,
// minimise) sit at its top right. Maximise and restore are the class's own.

#include <string>

#include "fw/dialog_win.h"
#include "fw/handles_win.h"
#include "fw/paint_canvas_win.h"
#include "ui/btn_ex_win.h"

class CDlgEx : public CDialog {
public:
    // Command ids of the caption buttons.
    static constexpr UINT kIdClose = 50000;
    static constexpr UINT kIdMin = 50001;
    static constexpr UINT kIdMax = 50002;

    explicit CDlgEx(UINT idTemplate, CWnd* parent = nullptr);
    ~CDlgEx() override;

    // Installs the skin and creates the caption buttons whose strips are
    // given. The skin and the maximise and restore strips become the
    // dialog's; the close and minimise strips stay the caller's (each button
    // keeps its own copy). May be called again to re-skin.
    BOOL SetSkin(HBITMAP hClose, HBITMAP hSkin, BOOL bResizeToSkin, BOOL bStretch, HBITMAP hMin = nullptr,
                 HBITMAP hMax = nullptr, HBITMAP hRestore = nullptr);
    void SetTitle(const std::wstring& text);
    void UpdateRegion();
    // Paints the skin for the current window size, in window coordinates.
    void DrawFrame(HDC dc);
    // The skin with the icon and the title on it, straight into `dc` (window
    // coordinates): what the erase copies to the screen.
    void PaintSkin(HDC dc);

    virtual void OnBtnClose();
    virtual void OnBtnMin();
    virtual void OnBtnMax();
    virtual void UpdateMaxButton(BOOL bMaximized);

    BOOL m_bShowTitle = TRUE;
    BOOL m_bShowIcon = TRUE;
    BOOL m_bMaximized = FALSE;
    int m_nCaptionHeight = -1;
    int m_nBtnRight = 5;
    int m_nBtnTop = 1;
    int m_nBtnGap = 0;
    int m_nBorder = 3;
    COLORREF m_clrTitle = RGB(255, 255, 255);
    int m_nTitleWeight = 400;
    fw::ScopedBitmap m_bmpSkin;
    CBtnEx m_btnClose;
    CBtnEx m_btnMin;
    CBtnEx m_btnMax;
    SIZE m_sizeMax{1440, 900};
    RECT m_rcRestore{};
    BOOL m_bResizable = FALSE;
    BOOL m_bStretchSkin = FALSE;
    fw::ScopedBitmap m_bmpMax;
    fw::ScopedBitmap m_bmpRestore;

protected:
    BOOL OnInitDialog() override;

    // The off-screen bitmap of this window's paints, kept between them.
    fw::CanvasStore m_canvasStore;

    DECLARE_MESSAGE_MAP()
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnNcHitTest(POINT point);
    void OnNcLButtonDown(UINT hitTest, POINT point);
    void OnNcLButtonDblClk(UINT hitTest, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    void OnSize(UINT type, int cx, int cy);

private:
    void CreateSkinButton(CBtnEx& button, int rightX, int top, UINT id, HBITMAP strip);
    int ButtonWidth(const CBtnEx& button) const;
    int TitleLeft(bool iconDrawn) const;
    HFONT CreateTitleFont() const;
};
