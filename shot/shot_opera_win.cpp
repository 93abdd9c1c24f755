#include "shot/shot_opera_win.h"

#include "res/resource.h"
#include "shot/real_shot_zone_win.h"
#include "shot/screen_shot_win.h"
#include "shot/shot_geometry.h"
#include "ui/image_loader_win.h"

namespace {

HBITMAP Png(UINT id) { return LoadSkinImage(fw::ResourceInstance(), id); }

}  // namespace

BEGIN_MESSAGE_MAP(CShotOpera, CDlgEx)
    ON_BN_CLICKED(CShotOpera::kIdSave, OnSave)
    ON_BN_CLICKED(CShotOpera::kIdCancel, OnCancelButton)
    ON_BN_CLICKED(CShotOpera::kIdFinish, OnFinish)
END_MESSAGE_MAP()

CShotOpera::CShotOpera() : CDlgEx(IDD_SHOT_TOOLBAR) {}

void CShotOpera::Link(CScreenShot* shot, CRealShotZone* zone, CShotZoom* zoom) {
    m_pShot = shot;
    m_pZone = zone;
    m_pZoom = zoom;
}

BOOL CShotOpera::OnInitDialog() {
    CDlgEx::OnInitDialog();
    m_nCaptionHeight = 0;
    m_nBorder = 0;
    m_nBtnRight = 0;
    m_nBtnTop = 1;
    m_nBtnGap = 0;
    m_bShowTitle = FALSE;
    m_bShowIcon = FALSE;
    SetSkin(nullptr, Png(IDP_SHOT_TOOLBAR), TRUE, FALSE);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    struct Button {
        CBtnEx& button;
        UINT id;
        fw::ScopedBitmap& strip;
        UINT image;
        int x, y;
        const wchar_t* tip;
    } const buttons[] = {
        {m_btnSave, kIdSave, m_stripSave, IDP_SHOT_SAVE, 7, 5, L"保存截图"},
        {m_btnCancel, kIdCancel, m_stripCancel, IDP_SHOT_CANCEL, 56, 5, L"取消截图"},
        {m_btnFinish, kIdFinish, m_stripFinish, IDP_SHOT_FINISH, 103, 7, L"完成截图"},
    };
    for (const Button& b : buttons) {
        b.strip.Reset(Png(b.image));
        if (!b.button.SubclassDlgItem(b.id, this)) continue;
        b.button.SetImage(b.strip, TRUE);
        const SIZE frame = fw::BitmapSize(b.strip.Get());
        b.button.MoveWindow(b.x, b.y, frame.cx / 4, frame.cy, TRUE);
        b.button.SetToolTip(b.tip);
    }
    return TRUE;
}

void CShotOpera::OnCancel() {
    if (m_pShot != nullptr) m_pShot->Close();
}

void CShotOpera::PlaceNextTo(const RECT& zone, int screenHeight) {
    if (m_hWnd == nullptr) return;
    RECT mine{};
    GetWindowRect(&mine);
    const shot::Point at = shot::ToolbarOrigin({zone.left, zone.top, zone.right, zone.bottom}, mine.right - mine.left,
                                               mine.bottom - mine.top, screenHeight);
    SetWindowPos(HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CShotOpera::OnSave() {
    if (m_pShot != nullptr && m_pShot->m_hWnd != nullptr) m_pShot->PostMessage(CScreenShot::kMsgSave);
}

void CShotOpera::OnFinish() {
    if (m_pShot != nullptr && m_pShot->m_hWnd != nullptr) m_pShot->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 1));
}
