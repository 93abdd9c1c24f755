#pragma once

// CShotOpera: the screenshot toolbar next to the selection, with the save,
// cancel and finish buttons.

#include <windows.h>

#include "fw/handles_win.h"
#include "ui/btn_ex_win.h"
#include "ui/dlg_ex_win.h"

class CRealShotZone;
class CScreenShot;
class CShotZoom;

class CShotOpera : public CDlgEx {
public:
    static constexpr UINT kIdSave = 1035;
    static constexpr UINT kIdCancel = 1034;
    static constexpr UINT kIdFinish = 1031;

    CShotOpera();

    void Link(CScreenShot* shot, CRealShotZone* zone, CShotZoom* zoom);

    // Shows the toolbar topmost next to `zone` (screen coordinates), keeping
    // its size and leaving the focus where it is.
    void PlaceNextTo(const RECT& zone, int screenHeight);

    CRealShotZone* m_pZone = nullptr;
    CShotZoom* m_pZoom = nullptr;
    CBtnEx m_btnSave;
    CBtnEx m_btnCancel;
    CBtnEx m_btnFinish;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()
    void OnSave();
    void OnCancelButton() { OnCancel(); }
    void OnFinish();

private:
    CScreenShot* m_pShot = nullptr;
    fw::ScopedBitmap m_stripSave;
    fw::ScopedBitmap m_stripCancel;
    fw::ScopedBitmap m_stripFinish;
};
