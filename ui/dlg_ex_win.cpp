#include "ui/dlg_ex_win.h"

#include <vector>

#include "ui/skin_geometry.h"

namespace {

skin::WorkArea ReadWorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const skin::WorkArea& a) { return RECT{a.left, a.top, a.right, a.bottom}; }

}  // namespace

BEGIN_MESSAGE_MAP(CDlgEx, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_SIZE()
    ON_COMMAND(CDlgEx::kIdClose, OnBtnClose)
    ON_COMMAND(CDlgEx::kIdMin, OnBtnMin)
    ON_COMMAND(CDlgEx::kIdMax, OnBtnMax)
END_MESSAGE_MAP()

CDlgEx::CDlgEx(UINT idTemplate, CWnd* parent) : CDialog(idTemplate, parent) {}

CDlgEx::~CDlgEx() {
    // The window goes before the skin and the caption buttons it paints with.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CDlgEx::OnInitDialog() {
    CDialog::OnInitDialog();
    // The frame draws its own caption and border; SWP_FRAMECHANGED makes the
    // system drop the non-client area it computed from the template.
    ModifyStyle(WS_CAPTION | DS_MODALFRAME, WS_MINIMIZEBOX);
    ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, 0, SWP_FRAMECHANGED);
    const skin::WorkArea work = ReadWorkArea();
    m_sizeMax = SIZE{work.right - work.left, work.bottom - work.top};
    m_rcRestore = ToRect(skin::InitialRestoreRect(work));
    return TRUE;
}

int CDlgEx::ButtonWidth(const CBtnEx& button) const {
    if (button.m_hWnd == nullptr) return 0;
    RECT r{};
    button.GetWindowRect(&r);
    return r.right - r.left;
}

void CDlgEx::CreateSkinButton(CBtnEx& button, int rightX, int top, UINT id, HBITMAP strip) {
    BITMAP bm{};
    if (GetObjectW(strip, sizeof bm, &bm) == 0) return;
    const int frameW = bm.bmWidth / 4;
    const RECT r{rightX - frameW, top, rightX, top + bm.bmHeight};
    if (!button.Create(L"", WS_CHILD | WS_VISIBLE, r, this, id)) return;
    button.SetImage(strip, FALSE);
}

BOOL CDlgEx::SetSkin(HBITMAP hClose, HBITMAP hSkin, BOOL bResizeToSkin, BOOL bStretch, HBITMAP hMin,
                     HBITMAP hMax, HBITMAP hRestore) {
    m_bmpSkin.Reset(hSkin);
    m_bStretchSkin = bStretch;
    RECT layout{};
    BITMAP bm{};
    if (bResizeToSkin && hSkin != nullptr && GetObjectW(hSkin, sizeof bm, &bm) != 0) {
        SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        layout = RECT{0, 0, bm.bmWidth, bm.bmHeight};
    } else {
        GetClientRect(&layout);
    }
    UpdateRegion();

    // A button made now is as wide as a frame of its strip; one kept from
    // before keeps its width.
    auto widthOf = [this](HBITMAP strip, const CBtnEx& kept) -> int {
        BITMAP frames{};
        if (strip == nullptr) return ButtonWidth(kept);
        return GetObjectW(strip, sizeof frames, &frames) != 0 ? static_cast<int>(frames.bmWidth / 4) : 0;
    };
    const int closeW = widthOf(hClose, m_btnClose);
    const int maxW = widthOf(hMax, m_btnMax);
    const int minW = widthOf(hMin, m_btnMin);
    const skin::CaptionButtonX left =
        skin::LayoutCaptionButtonsOnSkin(layout.right, m_nBtnRight, m_nBtnGap, closeW, maxW, minW);
    const int y = m_nBtnTop;
    if (hClose != nullptr) {
        m_btnClose.DestroyWindow();
        CreateSkinButton(m_btnClose, left.close + closeW, y, kIdClose, hClose);
        m_btnClose.SetToolTip(L"关闭");
    }
    if (hMax != nullptr) {
        m_btnMax.DestroyWindow();
        CreateSkinButton(m_btnMax, left.max + maxW, y, kIdMax, hMax);
        m_btnMax.SetToolTip(L"最大化");
        m_bmpMax.Reset(hMax);
        m_bmpRestore.Reset(hRestore);
    }
    if (hMin != nullptr) {
        m_btnMin.DestroyWindow();
        CreateSkinButton(m_btnMin, left.min + minW, y, kIdMin, hMin);
        m_btnMin.SetToolTip(L"最小化");
    }
    return TRUE;
}

int CDlgEx::TitleLeft(bool iconDrawn) const { return m_nBorder + (iconDrawn ? 16 : 0) + 5; }

HFONT CDlgEx::CreateTitleFont() const {
    HFONT base = GetFont();
    if (base == nullptr) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf{};
    GetObjectW(base, sizeof lf, &lf);
    lf.lfHeight = -12;
    lf.lfWeight = m_nTitleWeight;
    wcscpy_s(lf.lfFaceName, L"微软雅黑");
    return CreateFontIndirectW(&lf);
}

void CDlgEx::SetTitle(const std::wstring& text) {
    SetWindowText(text);
    const bool icon = m_bShowIcon && SendMessage(WM_GETICON, ICON_SMALL, 0) != 0;
    fw::ScopedGetDc dc(m_hWnd);
    HFONT base = GetFont();
    SIZE extent{0, 16};
    if (dc.IsValid()) {
        fw::ScopedSelectObject select(dc.Get(), base != nullptr ? base : GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    RECT client{};
    GetClientRect(&client);
    const int top = skin::TitleTop(m_nCaptionHeight);
    const RECT band{TitleLeft(icon), top, client.right, top + extent.cy};
    InvalidateRect(&band, TRUE);
}

void CDlgEx::UpdateRegion() {
    if (!m_bmpSkin || m_hWnd == nullptr) return;
    BITMAP bm{};
    if (GetObjectW(m_bmpSkin.Get(), sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
    RECT wr{};
    GetWindowRect(&wr);
    const int wndW = wr.right - wr.left, wndH = wr.bottom - wr.top;

    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    fw::ScopedGetDc screen(nullptr);
    if (GetDIBits(screen.Get(), m_bmpSkin.Get(), 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info,
                  DIB_RGB_COLORS) == 0)
        return;

    fw::ScopedRegion region(CreateRectRgn(0, 0, wndW, wndH));
    for (const skin::Point& p : skin::CornerCutPixels(pixels.data(), bm.bmWidth, bm.bmHeight, wndW, wndH)) {
        fw::ScopedRegion pixel(CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
        CombineRgn(region.Get(), region.Get(), pixel.Get(), RGN_DIFF);
    }
    // The system owns the region once it is set.
    if (SetWindowRgn(m_hWnd, region.Get(), FALSE)) (void)region.Take();
}

void CDlgEx::DrawFrame(HDC dc) {
    if (!m_bmpSkin) return;
    BITMAP bm{};
    if (GetObjectW(m_bmpSkin.Get(), sizeof bm, &bm) == 0) return;
    RECT wr{};
    GetWindowRect(&wr);
    fw::ScopedCreatedDc skinDc(CreateCompatibleDC(dc));
    fw::ScopedSelectObject select(skinDc.Get(), m_bmpSkin.Get());
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    for (const skin::Blit& b : skin::NineSlicePlan(bm.bmWidth, bm.bmHeight, wr.right - wr.left, wr.bottom - wr.top,
                                                   m_nBorder, m_nCaptionHeight, m_bStretchSkin != FALSE)) {
        if (b.stretch)
            StretchBlt(dc, b.dst.x, b.dst.y, b.dst.w, b.dst.h, skinDc.Get(), b.src.x, b.src.y, b.src.w, b.src.h, SRCCOPY);
        else
            BitBlt(dc, b.dst.x, b.dst.y, b.dst.w, b.dst.h, skinDc.Get(), b.src.x, b.src.y, SRCCOPY);
    }
    SetStretchBltMode(dc, oldMode);
}

BOOL CDlgEx::OnEraseBkgnd(HDC dc) {
    if (!m_bmpSkin) return FALSE;
    RECT wr{};
    GetWindowRect(&wr);
    fw::ClippedCanvas canvas(dc, wr.right - wr.left, wr.bottom - wr.top, &m_canvasStore);
    if (!canvas.IsValid()) return FALSE;
    if (canvas.IsEmpty()) return TRUE;
    PaintSkin(canvas.Dc());
    canvas.CopyTo(dc);
    return TRUE;
}

void CDlgEx::PaintSkin(HDC dc) {
    DrawFrame(dc);
    bool iconDrawn = false;
    if (m_bShowIcon) {
        if (auto icon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_SMALL, 0))) {
            DrawIconEx(dc, m_nBorder, skin::IconTop(m_nCaptionHeight), icon, 16, 16, 0, nullptr, DI_NORMAL);
            iconDrawn = true;
        }
    }
    if (m_bShowTitle) {
        const std::wstring title = GetWindowText();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, m_clrTitle);
        fw::ScopedFont font(CreateTitleFont());
        fw::ScopedSelectObject select(dc, font.Get());
        TextOutW(dc, TitleLeft(iconDrawn), skin::TitleTop(m_nCaptionHeight), title.c_str(),
                 static_cast<int>(title.size()));
    }
}

LRESULT CDlgEx::OnNcHitTest(POINT point) {
    ScreenToClient(&point);
    RECT client{};
    GetClientRect(&client);
    const skin::FrameHitInput in{point.x,         point.y,           client.right,         client.bottom,
                                 m_nBorder,       m_nCaptionHeight,  m_bResizable != FALSE, m_bMaximized != FALSE};
    const skin::HitCode hit = skin::FrameHitTest(in);
    return hit == skin::kHitDefault ? Default() : static_cast<LRESULT>(hit);
}

void CDlgEx::OnNcLButtonDown(UINT hitTest, POINT point) {
    if (const unsigned command = skin::SizingCommand(static_cast<int>(hitTest)))
        SendMessage(WM_SYSCOMMAND, command, MAKELPARAM(point.x, point.y));
    else
        Default();
    // Wherever the user last dragged or sized the window is where restore goes.
    if (m_hWnd != nullptr) GetWindowRect(&m_rcRestore);
}

void CDlgEx::OnNcLButtonDblClk(UINT hitTest, POINT) {
    if (hitTest == HTCAPTION && m_bResizable)
        OnBtnMax();
    else
        Default();
}

void CDlgEx::OnLButtonDblClk(UINT, POINT point) {
    if (m_bMaximized && (m_nCaptionHeight == -1 || (point.y >= 0 && point.y < m_nCaptionHeight))) OnBtnMax();
    Default();
}

void CDlgEx::OnSize(UINT, int cx, int) {
    Default();
    if (!m_bmpSkin) return;
    UpdateRegion();
    Invalidate(TRUE);
    const skin::CaptionButtonX x = skin::LayoutCaptionButtonsOnSize(cx, m_nBtnRight, ButtonWidth(m_btnClose),
                                                                    ButtonWidth(m_btnMax), ButtonWidth(m_btnMin));
    auto place = [this](CBtnEx& button, int left) {
        if (button.m_hWnd == nullptr) return;
        RECT r{};
        button.GetWindowRect(&r);
        POINT topLeft{r.left, r.top};
        ScreenToClient(&topLeft);
        button.SetWindowPos(nullptr, left, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(m_btnClose, x.close);
    place(m_btnMax, x.max);
    place(m_btnMin, x.min);
}

void CDlgEx::OnBtnClose() { PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }

void CDlgEx::OnBtnMin() { PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void CDlgEx::OnBtnMax() {
    if (m_bMaximized) {
        MoveWindow(m_rcRestore, TRUE);
        UpdateMaxButton(FALSE);
    } else {
        const skin::WorkArea r = skin::MaximisedRect(ReadWorkArea(), m_sizeMax.cx, m_sizeMax.cy);
        MoveWindow(ToRect(r), TRUE);
        UpdateMaxButton(TRUE);
    }
    m_btnMax.m_bHover = FALSE;
    m_btnMax.m_bTracking = FALSE;
    m_bMaximized = !m_bMaximized;
}

void CDlgEx::UpdateMaxButton(BOOL bMaximized) {
    if (m_btnMax.m_hWnd == nullptr) return;
    m_btnMax.SetImage(bMaximized ? m_bmpRestore.Get() : m_bmpMax.Get(), FALSE);
    m_btnMax.SetToolTip(bMaximized ? L"还原" : L"最大化");
    m_btnMax.Invalidate(FALSE);
}
