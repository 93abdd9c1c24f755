#include "shot/screen_shot_win.h"

#include <atomic>

#include "res/resource.h"
#include "shot/shot_file_name.h"
#include "shot/shot_geometry.h"
#include "shot/shot_output_win.h"

namespace {

// One save at a time in the whole process: the save dialog runs a message
// loop in which a second request (a second click on save) would arrive.
std::atomic<bool> g_saving{false};

class SaveTurn {
public:
    SaveTurn() : m_taken(!g_saving.exchange(true)) {}
    ~SaveTurn() {
        if (m_taken) g_saving = false;
    }
    SaveTurn(const SaveTurn&) = delete;
    SaveTurn& operator=(const SaveTurn&) = delete;
    bool Taken() const { return m_taken; }

private:
    bool m_taken;
};

constexpr BYTE kOverlayDim = 120;

shot::LocalTime Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

}  // namespace

BEGIN_MESSAGE_MAP(CScreenShot, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_SETCURSOR()
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(CScreenShot::kMsgSave, OnSaveRequest)
END_MESSAGE_MAP()

CScreenShot::CScreenShot()
    : CDialog(IDD_EMPTY_POPUP),
      m_nScreenWidth(GetSystemMetrics(SM_CXSCREEN)),
      m_nScreenHeight(GetSystemMetrics(SM_CYSCREEN)),
      m_chooseFile(&AskShotFileName) {
    m_zone.Link(this, &m_capture, &m_zoom, &m_opera, m_nScreenWidth, m_nScreenHeight);
    m_zoom.Link(this, &m_capture, m_nScreenWidth, m_nScreenHeight);
    m_opera.Link(this, &m_zone, &m_zoom);
}

CScreenShot::~CScreenShot() {
    // The tool's windows are owned by the overlay's: they go first, while
    // the objects behind them still exist.
    m_opera.DestroyWindow();
    m_zoom.DestroyWindow();
    m_zone.DestroyWindow();
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

void CScreenShot::Open() {
    if (m_hWnd != nullptr && IsWindowVisible()) return;
    if (m_hWnd == nullptr && !Create(IDD_EMPTY_POPUP, nullptr)) return;
    ShowWindow(SW_SHOW);
}

void CScreenShot::Close() {
    for (CDialog* part : {static_cast<CDialog*>(&m_zone), static_cast<CDialog*>(&m_zoom), static_cast<CDialog*>(&m_opera)})
        if (part->m_hWnd != nullptr) part->EndDialog(IDCANCEL);
    if (m_hWnd != nullptr) EndDialog(IDCANCEL);
    m_bDragging = FALSE;
    m_capture.Release();
}

BOOL CScreenShot::OnInitDialog() {
    m_capture.Take(m_nScreenWidth, m_nScreenHeight);
    CDialog::OnInitDialog();
    // A tool window: no taskbar button for the overlay.
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    SetWindowPos(HWND_TOPMOST, 0, 0, m_nScreenWidth, m_nScreenHeight, SWP_SHOWWINDOW);
    m_cursor.Reset(static_cast<HICON>(
        LoadImageW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDI_SHOT_CURSOR), IMAGE_ICON, 44, 44, 0)));
    m_zone.Create(IDD_EMPTY_POPUP, this);
    m_opera.Create(IDD_SHOT_TOOLBAR, this);
    m_zoom.Create(IDD_EMPTY_POPUP, this);
    POINT cursor{};
    GetCursorPos(&cursor);
    m_zoom.m_ptCursor = cursor;
    m_zoom.SetWindowPos(HWND_TOPMOST, cursor.x + 15, cursor.y + 24, shot::kMagnifierWidth, shot::kMagnifierHeight,
                        SWP_SHOWWINDOW | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CScreenShot::OnEraseBkgnd(HDC dc) {
    if (!m_capture.IsValid()) return static_cast<BOOL>(Default());
    BitBlt(dc, 0, 0, m_nScreenWidth, m_nScreenHeight, m_capture.Dc(), 0, 0, SRCCOPY);
    DimArea(dc, 0, 0, m_nScreenWidth, m_nScreenHeight, kOverlayDim);
    return TRUE;
}

void CScreenShot::OnShowWindow(BOOL show, UINT) {
    Default();
    if (!show) {
        m_capture.Release();
        return;
    }
    // The window is not on the screen yet, so the capture does not hold it.
    m_capture.Take(m_nScreenWidth, m_nScreenHeight);
    m_bDragging = FALSE;
    m_ptPress = m_ptRelease = POINT{};
}

void CScreenShot::OnLButtonDown(UINT, POINT point) {
    Default();
    // Once there is a zone the user adjusts it or cancels; no new selection.
    if (m_zone.IsWindowVisible()) return;
    m_ptPress = point;
    m_bDragging = TRUE;
}

void CScreenShot::OnMouseMove(UINT, POINT point) {
    Default();
    if (m_bDragging) {
        const ui::PixelRect r = shot::SelectionFromPoints({m_ptPress.x, m_ptPress.y}, {point.x, point.y});
        m_zone.MoveWindow(r.left, r.top, r.Width(), r.Height(), TRUE);
        if (!m_zone.IsWindowVisible()) m_zone.ShowWindow(SW_SHOW);
    } else if (!m_opera.IsWindowVisible() && m_zone.IsWindowVisible()) {
        PlaceToolbar();
    }
    m_zoom.Follow(point);
}

void CScreenShot::OnLButtonUp(UINT, POINT point) {
    Default();
    m_ptRelease = point;
    const bool pressedHere = m_bDragging != FALSE;
    m_bDragging = FALSE;
    if (pressedHere && m_zone.m_hWnd != nullptr) {
        const bool shown = m_zone.IsWindowVisible() != FALSE;
        RECT zone{};
        m_zone.GetWindowRect(&zone);
        const bool click = !shown && SamePoint(m_ptRelease, m_ptPress);
        // A drag that came back to its start leaves a zone that could be
        // neither seen nor grabbed: it counts as a click.
        const bool emptyDrag = shown && (zone.right <= zone.left || zone.bottom <= zone.top);
        if (click || emptyDrag) {
            m_zone.MoveWindow(0, 0, m_nScreenWidth, m_nScreenHeight, TRUE);
            m_zone.ShowWindow(SW_SHOW);
        }
    }
    if (!m_opera.IsWindowVisible()) PlaceToolbar();
}

void CScreenShot::OnRButtonUp(UINT, POINT) {
    Default();
    m_ptPress = m_ptRelease = POINT{};
    Close();
}

void CScreenShot::OnLButtonDblClk(UINT, POINT point) {
    Default();
    if (!m_zone.IsWindowVisible()) return;
    POINT screen = point;
    ClientToScreen(&screen);
    m_zone.PostMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

BOOL CScreenShot::OnSetCursor(HWND, UINT, UINT) {
    if (!m_cursor) return static_cast<BOOL>(Default());
    SetCursor(m_cursor.Get());
    return TRUE;
}

void CScreenShot::PlaceToolbar() {
    // A toolbar next to no selection would offer to save nothing.
    if (m_opera.m_hWnd == nullptr || !m_zone.IsWindowVisible()) return;
    RECT zone{};
    m_zone.GetWindowRect(&zone);
    m_opera.PlaceNextTo(zone, m_nScreenHeight);
}

LRESULT CScreenShot::OnSaveRequest(WPARAM, LPARAM) {
    SaveTurn turn;
    if (!turn.Taken() || !m_zone.IsWindowVisible()) return 0;
    RECT zone{};
    m_zone.GetWindowRect(&zone);
    // The selection is copied before the dialog: while it runs the tool may
    // be closed or opened again, which frees or replaces the capture.
    fw::ScopedBitmap selection = m_capture.CopyArea(zone);
    if (!selection) return 0;
    std::wstring name = shot::DefaultShotFileName(Now());
    if (!m_chooseFile || !m_chooseFile(m_zone.m_hWnd, name)) return 0;
    // A failed write keeps the tool open with its selection, so that the user
    // sees that nothing was saved and can choose another place.
    if (WriteBitmapAsBmp(selection.Get(), shot::WithBmpExtension(name))) Close();
    return 0;
}
