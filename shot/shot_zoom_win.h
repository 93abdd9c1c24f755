#pragma once

// CShotZoom: the magnifier, 256 x 100, that follows the cursor over the
// overlay: the 40 x 40 pixels of the capture around the cursor enlarged with
// a cross on the left, the colour under the cursor on a darkened panel on
// the right.

#include <windows.h>

#include <string>

#include "fw/dialog_win.h"

class CScreenCapture;
class CScreenShot;

class CShotZoom : public CDialog {
public:
    CShotZoom();

    void Link(CScreenShot* shot, const CScreenCapture* source, int screenWidth, int screenHeight);

    // Moves next to the cursor at `cursor` (screen coordinates), shows itself
    // topmost without taking the focus and repaints for that point.
    void Follow(POINT cursor);
    // "RGB(r, g, b)" of the capture's pixel under the cursor.
    std::wstring ColourText() const;

    int m_nScreenWidth = 0;
    int m_nScreenHeight = 0;
    const CScreenCapture* m_pSource = nullptr;
    POINT m_ptCursor{};

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
    BOOL OnEraseBkgnd(HDC dc);
    void OnMouseMove(UINT flags, POINT point);

private:
    CScreenShot* m_pShot = nullptr;
};
