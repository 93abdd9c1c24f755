#pragma once

// CImgProgress: a progress bar drawn from two images over its parent's skin,
// the empty track and the full bar. The filled part joins the bar image's
// left end and right end, so both rounded ends show at every level.

#include "fw/handles_win.h"
#include "fw/progress_win.h"
#include "ui/progress_paint_win.h"

class CImgProgress : public CProgressCtrl {
public:
    CImgProgress() = default;
    ~CImgProgress() override;

    // Takes both bitmaps (the control deletes them) and sizes the control to
    // the track. Meant for a fresh control; a second call replaces the
    // images and computes the rectangles anew.
    BOOL SetImages(HBITMAP hBack, HBITMAP hBar);

    fw::ScopedBitmap m_hBmpBack;
    fw::ScopedBitmap m_hBmpBar;
    RECT m_rcBack{};
    RECT m_rcBar{};
    BOOL m_bShowText = FALSE;
    COLORREF m_clrText = kProgressNoTextColour;

    // The fill the last paint drew, for tests and owners.
    const ui::ProgressFill& LastFill() const { return m_lastFill; }

protected:
    DECLARE_MESSAGE_MAP()
    BOOL OnEraseBkgnd(HDC dc);
    void OnPaint();

private:
    ui::ProgressFill m_lastFill;
};
