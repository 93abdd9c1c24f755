#include "shot/shot_zoom_win.h"

#include <cwchar>

#include "fw/handles_win.h"
#include "shot/screen_capture_win.h"
#include "shot/screen_shot_win.h"
#include "shot/shot_geometry.h"

namespace {

constexpr COLORREF kCrossGreen = RGB(108, 226, 108);
constexpr int kSquare = 100;
constexpr int kSourceHalf = 20;
constexpr BYTE kPanelDim = 200;

}  // namespace

BEGIN_MESSAGE_MAP(CShotZoom, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CShotZoom::CShotZoom() : CDialog(0) {}

void CShotZoom::Link(CScreenShot* shot, const CScreenCapture* source, int screenWidth, int screenHeight) {
    m_pShot = shot;
    m_pSource = source;
    m_nScreenWidth = screenWidth;
    m_nScreenHeight = screenHeight;
}

BOOL CShotZoom::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CShotZoom::OnCancel() {
    if (m_pShot != nullptr) m_pShot->Close();
}

void CShotZoom::Follow(POINT cursor) {
    if (m_hWnd == nullptr) return;
    m_ptCursor = cursor;
    const shot::Point at = shot::MagnifierOrigin({cursor.x, cursor.y}, m_nScreenWidth, m_nScreenHeight);
    SetWindowPos(HWND_TOPMOST, at.x, at.y, shot::kMagnifierWidth, shot::kMagnifierHeight,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate(TRUE);
    UpdateWindow();
}

std::wstring CShotZoom::ColourText() const {
    COLORREF colour = 0;
    if (m_pSource != nullptr && m_pSource->IsValid()) colour = GetPixel(m_pSource->Dc(), m_ptCursor.x, m_ptCursor.y);
    if (colour == CLR_INVALID) colour = 0;
    wchar_t text[40];
    swprintf(text, std::size(text), L"RGB(%d, %d, %d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

BOOL CShotZoom::OnEraseBkgnd(HDC dc) {
    if (m_pSource == nullptr || !m_pSource->IsValid()) return static_cast<BOOL>(Default());
    fw::MemoryCanvas canvas(dc, shot::kMagnifierWidth, shot::kMagnifierHeight);
    if (!canvas.IsValid()) return static_cast<BOOL>(Default());
    HDC out = canvas.Dc();

    // The enlarged square: a white frame on black, the 40 x 40 pixels around
    // the cursor stretched inside it, and a cross on the cursor's pixel.
    const RECT square{0, 0, kSquare, kSquare};
    FillRect(out, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    {
        fw::ScopedHandle<fw::GdiObjectTraits<HPEN>> pen(CreatePen(PS_SOLID, 2, RGB(255, 255, 255)));
        fw::ScopedSelectObject select(out, pen.Get());
        Rectangle(out, 1, 1, 99, 99);
    }
    const int oldMode = SetStretchBltMode(out, COLORONCOLOR);
    StretchBlt(out, 3, 3, 93, 93, m_pSource->Dc(), m_ptCursor.x - kSourceHalf, m_ptCursor.y - kSourceHalf,
               2 * kSourceHalf, 2 * kSourceHalf, SRCCOPY);
    SetStretchBltMode(out, oldMode);
    fw::ScopedBrush green(CreateSolidBrush(kCrossGreen));
    const RECT vertical{49, 3, 51, 96}, horizontal{3, 49, 96, 51};
    FillRect(out, &vertical, green.Get());
    FillRect(out, &horizontal, green.Get());

    // The panel: the capture under the panel itself, darkened, as a backdrop
    // for the read-out.
    RECT window{};
    GetWindowRect(&window);
    const int panelW = shot::kMagnifierWidth - kSquare;
    BitBlt(out, kSquare, 0, panelW, shot::kMagnifierHeight, m_pSource->Dc(), window.left + kSquare, window.top, SRCCOPY);
    DimArea(out, kSquare, 0, panelW, shot::kMagnifierHeight, kPanelDim);

    SetBkMode(out, TRANSPARENT);
    SetTextColor(out, RGB(255, 255, 255));
    HFONT font = GetFont();
    fw::ScopedSelectObject selectFont(out, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring colour = ColourText();
    TextOutW(out, 112, 32, colour.c_str(), static_cast<int>(colour.size()));
    const std::wstring hint = L"双击可完成复制";
    TextOutW(out, 112, 60, hint.c_str(), static_cast<int>(hint.size()));

    canvas.CopyTo(dc);
    return TRUE;
}

void CShotZoom::OnMouseMove(UINT flags, POINT point) {
    Default();
    if (m_pShot == nullptr || m_pShot->m_hWnd == nullptr) return;
    // The overlay tracks the cursor even where the magnifier covers it.
    ClientToScreen(&point);
    m_pShot->ScreenToClient(&point);
    m_pShot->SendMessage(WM_MOUSEMOVE, flags, MAKELPARAM(point.x, point.y));
}
