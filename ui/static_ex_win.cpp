#include "ui/static_ex_win.h"

BEGIN_MESSAGE_MAP(CStaticEx, CStatic)
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_MOUSEHOVER()
END_MESSAGE_MAP()

namespace {

constexpr DWORD kHoverTimeMs = 10;

}  // namespace

CStaticEx::~CStaticEx() {
    // The window goes first: a last paint must not find the font or the
    // images already gone.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

void CStaticEx::PreSubclassWindow() {
    m_strText = GetWindowText();
    CStatic::PreSubclassWindow();
}

BOOL CStaticEx::SetImage(HBITMAP bitmap) {
    SIZE size{0, 0};
    const BOOL made = MakeStaticExImageList(bitmap, m_imgList, &size);
    m_nImageWidth = made ? size.cx : 0;
    m_nImageHeight = made ? size.cy : 0;
    m_bImageRight = FALSE;
    return made;
}

HFONT CStaticEx::GetTextFont() {
    if (!m_font) m_font = CreateStaticExFont(m_hWnd, m_nFontHeight, m_nFontWeight, m_nFontWidth, m_bUnderline != FALSE);
    return m_font.Get();
}

StaticExImage CStaticEx::Image() const {
    StaticExImage image;
    image.images = m_imgList.GetSafeHandle();
    image.imageSize = SIZE{m_nImageWidth, m_nImageHeight};
    image.icon = m_hIcon;
    image.imageRight = m_bImageRight != FALSE;
    return image;
}

void CStaticEx::DrawTextLines(HDC dc) {
    StaticExLook look;
    look.text = m_strText;
    look.textColour = m_clrText;
    look.hoverColour = m_clrHover;
    look.useHoverColour = m_bHoverColor != FALSE;
    look.hovered = m_bHover != FALSE;
    look.lineSpacing = m_nLineSpacing;
    m_lastWalk = DrawStaticExLines(m_hWnd, dc, look, GetTextFont(), Image());
}

void CStaticEx::PaintInto(HDC target) {
    RECT window{};
    GetWindowRect(&window);
    const fw::MemoryCanvas canvas(target, window.right - window.left, window.bottom - window.top);
    if (!canvas.IsValid()) return;
    PaintStaticExBackground(m_hWnd, canvas.Dc(), Image());
    DrawTextLines(canvas.Dc());
    canvas.CopyTo(target);
}

void CStaticEx::OnPaint() {
    PAINTSTRUCT paint{};
    const HDC target = BeginPaint(m_hWnd, &paint);
    if (target == nullptr) return;
    PaintInto(target);
    EndPaint(m_hWnd, &paint);
}

LRESULT CStaticEx::OnPrintClient(WPARAM dc, LPARAM) {
    if (dc != 0) PaintInto(reinterpret_cast<HDC>(dc));
    return 0;
}

// The parent's skin shows through: the paint draws it beneath the text.
BOOL CStaticEx::OnEraseBkgnd(HDC) { return TRUE; }

BOOL CStaticEx::OnSetCursor(HWND, UINT, UINT) {
    if (m_bHandCursor) ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

void CStaticEx::OnMouseMove(UINT, POINT) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, kHoverTimeMs};
        m_bTracking = TrackMouseEvent(&track);
    }
    Default();
}

void CStaticEx::OnMouseHover(UINT, POINT) {
    m_bHover = TRUE;
    Invalidate(FALSE);
}

void CStaticEx::OnMouseLeave() {
    m_bHover = FALSE;
    m_bTracking = FALSE;
    Invalidate(FALSE);
}
