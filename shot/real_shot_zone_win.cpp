#include "shot/real_shot_zone_win.h"

#include <iterator>

#include "shot/screen_capture_win.h"
#include "shot/screen_shot_win.h"
#include "shot/shot_geometry.h"
#include "shot/shot_opera_win.h"
#include "shot/shot_output_win.h"
#include "shot/shot_zoom_win.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kZoneGreen = RGB(108, 226, 108);

void HideIfShown(CWnd* wnd) {
    if (wnd != nullptr && wnd->m_hWnd != nullptr && wnd->IsWindowVisible()) wnd->ShowWindow(SW_HIDE);
}

}  // namespace

BEGIN_MESSAGE_MAP(CRealShotZone, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_NCMOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CRealShotZone::CRealShotZone() : CDialog(0) {}

void CRealShotZone::Link(CScreenShot* shot, const CScreenCapture* source, CShotZoom* zoom, CShotOpera* opera,
                         int screenWidth, int screenHeight) {
    m_pShot = shot;
    m_pSource = source;
    m_pZoom = zoom;
    m_pOpera = opera;
    m_nScreenWidth = screenWidth;
    m_nScreenHeight = screenHeight;
}

BOOL CRealShotZone::OnInitDialog() {
    CDialog::OnInitDialog();
    m_hMoveCursor = LoadCursorW(nullptr, IDC_SIZEALL);
    // Magenta is the key: screen pixels of exactly that colour show the
    // dimmed overlay through the zone.
    ModifyStyleEx(0, WS_EX_LAYERED);
    SetLayeredWindowAttributes(m_hWnd, kMagenta, 0, LWA_COLORKEY);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CRealShotZone::OnCancel() {
    if (m_pShot != nullptr) m_pShot->Close();
}

void CRealShotZone::FinishByCopy() {
    if (m_pSource != nullptr) {
        RECT zone{};
        GetWindowRect(&zone);
        PutBitmapOnClipboard(m_hWnd, m_pSource->CopyArea(zone));
    }
    OnCancel();
}

BOOL CRealShotZone::OnEraseBkgnd(HDC dc) {
    if (m_pSource == nullptr || !m_pSource->IsValid()) return static_cast<BOOL>(Default());
    RECT client{}, zone{};
    GetClientRect(&client);
    GetWindowRect(&zone);
    const int w = client.right, h = client.bottom;
    fw::MemoryCanvas canvas(dc, w, h);
    if (!canvas.IsValid()) return static_cast<BOOL>(Default());
    fw::ScopedBrush magenta(CreateSolidBrush(kMagenta));
    FillRect(canvas.Dc(), &client, magenta.Get());
    BitBlt(canvas.Dc(), 0, 0, w, h, m_pSource->Dc(), zone.left, zone.top, SRCCOPY);

    fw::ScopedHandle<fw::GdiObjectTraits<HPEN>> pen(CreatePen(PS_SOLID, 1, kZoneGreen));
    {
        fw::ScopedSelectObject select(canvas.Dc(), pen.Get());
        const POINT outline[] = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}};
        Polyline(canvas.Dc(), outline, static_cast<int>(std::size(outline)));
    }
    fw::ScopedBrush green(CreateSolidBrush(kZoneGreen));
    for (const shot::Point& p : shot::ZoneHandleOrigins(w, h)) {
        const RECT handle{p.x, p.y, p.x + shot::kHandleSize, p.y + shot::kHandleSize};
        FillRect(canvas.Dc(), &handle, green.Get());
    }
    canvas.CopyTo(dc);
    return TRUE;
}

LRESULT CRealShotZone::OnNcHitTest(POINT point) {
    // While the button is held the system's sizing or moving loop is running
    // and asks for its own answer.
    if (GetKeyState(VK_LBUTTON) < 0) return Default();
    ScreenToClient(&point);
    RECT client{};
    GetClientRect(&client);
    const skin::HitCode hit = shot::ZoneHitTest(point.x, point.y, client.right, client.bottom);
    return hit == skin::kHitDefault ? Default() : static_cast<LRESULT>(hit);
}

void CRealShotZone::OnNcLButtonDown(UINT hitTest, POINT point) {
    HideIfShown(m_pZoom);
    HideIfShown(m_pOpera);
    if (const unsigned command = skin::SizingCommand(static_cast<int>(hitTest)))
        SendMessage(WM_SYSCOMMAND, command, MAKELPARAM(point.x, point.y));
    else
        Default();
}

void CRealShotZone::OnNcLButtonDblClk(UINT, POINT) {
    Default();
    FinishByCopy();
}

void CRealShotZone::ForwardToOverlay(UINT message, WPARAM wp, POINT point) {
    if (m_pShot == nullptr || m_pShot->m_hWnd == nullptr) return;
    m_pShot->ScreenToClient(&point);
    m_pShot->SendMessage(message, wp, MAKELPARAM(point.x, point.y));
}

void CRealShotZone::OnNcMouseMove(UINT, POINT point) {
    Default();
    ForwardToOverlay(WM_MOUSEMOVE, 0, point);
}

void CRealShotZone::OnLButtonUp(UINT flags, POINT point) {
    Default();
    ClientToScreen(&point);
    ForwardToOverlay(WM_LBUTTONUP, flags, point);
}

void CRealShotZone::OnMouseMove(UINT flags, POINT point) {
    Default();
    ClientToScreen(&point);
    ForwardToOverlay(WM_MOUSEMOVE, flags, point);
}

void CRealShotZone::OnWindowPosChanging(WINDOWPOS* pos) {
    if (pos != nullptr && (pos->flags & SWP_NOMOVE) == 0) {
        RECT now{};
        GetWindowRect(&now);
        const int w = (pos->flags & SWP_NOSIZE) != 0 ? now.right - now.left : pos->cx;
        const int h = (pos->flags & SWP_NOSIZE) != 0 ? now.bottom - now.top : pos->cy;
        const shot::Point kept = shot::ClampZoneOrigin({pos->x, pos->y}, w, h, m_nScreenWidth, m_nScreenHeight);
        pos->x = kept.x;
        pos->y = kept.y;
        // The zone shows the capture under it, which changes with every move.
        Invalidate(TRUE);
    }
    Default();
}

BOOL CRealShotZone::OnSetCursor(HWND, UINT hitTest, UINT) {
    if (hitTest == HTCAPTION && m_hMoveCursor != nullptr) {
        SetCursor(m_hMoveCursor);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}
