#pragma once

// CRealShotZone: the selection, a borderless window over the overlay that
// shows its part of the capture undimmed, with a green outline and eight
// handles. It is moved by dragging inside it and sized by its edges, and
// never leaves the screen. Mouse moves and releases over it go on to the
// overlay, so that the magnifier and the toolbar keep following.

#include <windows.h>

#include "fw/dialog_win.h"

class CScreenCapture;
class CScreenShot;
class CShotOpera;
class CShotZoom;

class CRealShotZone : public CDialog {
public:
    CRealShotZone();

    // The overlay's parts the zone works with; set before the window is made.
    void Link(CScreenShot* shot, const CScreenCapture* source, CShotZoom* zoom, CShotOpera* opera, int screenWidth,
              int screenHeight);

    // Puts the zone's part of the capture on the clipboard and closes the tool.
    void FinishByCopy();

    int m_nScreenWidth = 0;
    int m_nScreenHeight = 0;
    const CScreenCapture* m_pSource = nullptr;
    CShotZoom* m_pZoom = nullptr;
    CShotOpera* m_pOpera = nullptr;
    HCURSOR m_hMoveCursor = nullptr;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnNcHitTest(POINT point);
    void OnNcLButtonDown(UINT hitTest, POINT point);
    void OnNcLButtonDblClk(UINT hitTest, POINT point);
    void OnNcMouseMove(UINT hitTest, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    void OnMouseMove(UINT flags, POINT point);
    void OnWindowPosChanging(WINDOWPOS* pos);
    BOOL OnSetCursor(HWND wnd, UINT hitTest, UINT message);

private:
    void ForwardToOverlay(UINT message, WPARAM wp, POINT clientPoint);

    CScreenShot* m_pShot = nullptr;
};
