#include "ui/btn_ex_win.h"

#include "fw/handles_win.h"
#include "ui/skin_geometry.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

}  // namespace

BEGIN_MESSAGE_MAP(CBtnEx, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEHOVER()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

void CBtnEx::PreSubclassWindow() {
    m_strText = GetWindowText();
    ModifyStyle(0, BS_OWNERDRAW);
    GetWindowRect(&m_rcWindow);
    CButton::PreSubclassWindow();
}

BOOL CBtnEx::SetImage(HBITMAP strip, BOOL resize) {
    BITMAP bm{};
    if (strip == nullptr || GetObjectW(strip, sizeof bm, &bm) == 0) {
        m_imgList.DeleteImageList();
        return TRUE;
    }
    const int w = bm.bmWidth / 4, h = bm.bmHeight;
    m_imgList.DeleteImageList();
    if (w > 0 && h > 0 && m_imgList.Create(w, h, ILC_COLOR24 | ILC_MASK, 4, 0)) m_imgList.Add(strip, kMagenta);
    if (resize && m_hWnd != nullptr) SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_hWnd != nullptr) GetWindowRect(&m_rcWindow);
    return TRUE;
}

void CBtnEx::SetToolTip(const std::wstring& text) {
    m_strTip = text;
    m_bHasTip = TRUE;
    if (m_tip.m_hWnd == nullptr && m_hWnd != nullptr) {
        if (m_tip.Create(m_hWnd, TTS_ALWAYSTIP)) {
            m_tip.AddWindowTool(m_hWnd, m_hWnd, LPSTR_TEXTCALLBACKW);
            m_tip.SetDelayTime(TTDT_AUTOMATIC, 660);
        }
    }
}

void CBtnEx::PostNcDestroy() {
    m_tip.DestroyWindow();
    m_bTracking = FALSE;
    m_bHover = FALSE;
    m_bPressed = FALSE;
    CButton::PostNcDestroy();
}

BOOL CBtnEx::PreTranslateMessage(MSG* msg) {
    if (m_bHasTip) m_tip.RelayEvent(msg);
    return CButton::PreTranslateMessage(msg);
}

LRESULT CBtnEx::OnNotify(WPARAM wp, LPARAM lp) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (header != nullptr && header->hwndFrom == m_tip.m_hWnd && header->code == TTN_GETDISPINFOW) {
        // The text is given on demand, so a changed tip shows at the next hover.
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
        info->lpszText = const_cast<LPWSTR>(m_strTip.c_str());
        info->hinst = nullptr;
        return 0;
    }
    return DefWindowProc(WM_NOTIFY, wp, lp);
}

void CBtnEx::PaintParentBackground(HDC dc) {
    HWND parent = GetParent();
    if (parent == nullptr) return;
    RECT mine{}, theirs{};
    GetWindowRect(&mine);
    ::GetWindowRect(parent, &theirs);
    POINT old{};
    SetWindowOrgEx(dc, mine.left - theirs.left, mine.top - theirs.top, &old);
    ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetWindowOrgEx(dc, old.x, old.y, nullptr);
}

void CBtnEx::DrawFrameImage(HDC dc, int frame, int width, int height) {
    if (frame >= m_imgList.GetImageCount()) return;
    int frameW = 0, frameH = 0;
    m_imgList.GetIconSize(&frameW, &frameH);
    if (frameW == width && frameH == height) {
        m_imgList.Draw(dc, frame, 0, 0, ILD_TRANSPARENT);
        return;
    }
    // A frame of another size is scaled, keeping its magenta transparent.
    fw::MemoryCanvas scratch(dc, frameW, frameH);
    if (!scratch.IsValid()) return;
    fw::ScopedBrush magenta(CreateSolidBrush(kMagenta));
    RECT all{0, 0, frameW, frameH};
    FillRect(scratch.Dc(), &all, magenta.Get());
    m_imgList.Draw(scratch.Dc(), frame, 0, 0, ILD_TRANSPARENT);
    TransparentBlt(dc, 0, 0, width, height, scratch.Dc(), 0, 0, frameW, frameH, kMagenta);
}

void CBtnEx::DrawItem(DRAWITEMSTRUCT* item) {
    if (item == nullptr) return;
    bool pressed = m_bPressed != FALSE;
    const skin::ButtonState state{(item->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0,
                                  (item->itemState & ODS_SELECTED) != 0, m_bHover != FALSE};
    const int frame = skin::ButtonFrame(state, pressed);
    m_bPressed = pressed;
    m_lastFrame = frame;

    const int width = m_rcWindow.right - m_rcWindow.left;
    const int height = m_rcWindow.bottom - m_rcWindow.top;
    fw::MemoryCanvas canvas(item->hDC, width, height);
    if (!canvas.IsValid()) return;
    PaintParentBackground(canvas.Dc());
    DrawFrameImage(canvas.Dc(), frame, width, height);

    if (!m_strText.empty()) {
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SetTextColor(canvas.Dc(), frame == 3 ? GetSysColor(COLOR_GRAYTEXT) : m_clrText);
        HFONT base = GetFont();
        if (base == nullptr) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        LOGFONTW lf{};
        GetObjectW(base, sizeof lf, &lf);
        lf.lfHeight = -12;
        fw::ScopedFont font(CreateFontIndirectW(&lf));
        fw::ScopedSelectObject select(canvas.Dc(), font.Get());
        RECT client{};
        GetClientRect(&client);
        DrawTextW(canvas.Dc(), m_strText.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    BitBlt(item->hDC, 0, 0, width, height, canvas.Dc(), 0, 0, SRCCOPY);
}

BOOL CBtnEx::OnEraseBkgnd(HDC) { return TRUE; }

// The drawing size is the window's, whoever sized it: a button subclassed
// before its owner lays it out would otherwise keep drawing at its old size.
void CBtnEx::OnSize(UINT, int, int) {
    Default();
    GetWindowRect(&m_rcWindow);
}

void CBtnEx::OnMouseMove(UINT, POINT) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_HOVER | TME_LEAVE, m_hWnd, 10};
        m_bTracking = TrackMouseEvent(&tme);
    }
    Default();
}

void CBtnEx::OnMouseHover(UINT, POINT) {
    m_bHover = TRUE;
    Invalidate(FALSE);
    if (m_bHasTip) m_tip.UpdateWindowToolText(m_hWnd, m_hWnd, m_strTip);
}

void CBtnEx::OnMouseLeave() {
    m_bHover = FALSE;
    m_bTracking = FALSE;
    Invalidate(FALSE);
}

void CBtnEx::OnLButtonUp(UINT, POINT) {
    m_bPressed = FALSE;
    Default();
}

BOOL CBtnEx::OnSetCursor(HWND, UINT, UINT) {
    ::SetCursor(LoadCursorW(nullptr, m_bHandCursor ? IDC_HAND : IDC_ARROW));
    return TRUE;
}
