#include "login/login_bk_dlg_win.h"

#include "app/ctrl_block.h"
#include "fw/handles_win.h"
#include "login/qq_login_win.h"
#include "res/resource.h"
#include "ui/image_loader_win.h"

BEGIN_MESSAGE_MAP(CLoginBkDlg, CDialog)
    ON_WM_LBUTTONDOWN()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CLoginBkDlg::CLoginBkDlg() : CDialog(IDD_EMPTY_POPUP), m_loginDlg(TheCtrlBlock().LoginPageUrl()) {}

CLoginBkDlg::~CLoginBkDlg() {
    // The page is a popup owned by this window: it goes first.
    if (m_loginDlg.m_hWnd != nullptr) m_loginDlg.DestroyWindow();
}

BOOL CLoginBkDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(TheCtrlBlock().TitleName());
    // The page first: its request goes out on the browser's own thread while
    // this one paints the picture. The page takes this window's size and
    // place whenever they change, so it follows the paint's resize.
    m_loginDlg.Create(IDD_EMPTY_POPUP, this);
    PaintLayered();
    ModifyStyle(0, WS_MINIMIZEBOX);
    return FALSE;
}

void CLoginBkDlg::PaintLayered() {
    SIZE size{};
    fw::ScopedBitmap image(LoadAlphaImage(fw::ResourceInstance(), IDP_LOGIN_BACKGROUND, &size));
    // Without a skin the window stays without a picture; the page still comes.
    if (!image) return;
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    fw::ScopedGetDc screen(m_hWnd);
    fw::ScopedCreatedDc memory(CreateCompatibleDC(screen.Get()));
    if (!memory) return;
    fw::ScopedSelectObject select(memory.Get(), image.Get());
    if ((GetExStyle() & WS_EX_LAYERED) == 0) ModifyStyleEx(0, WS_EX_LAYERED);
    RECT window{};
    GetWindowRect(&window);
    POINT destination{window.left, window.top};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, screen.Get(), &destination, &size, memory.Get(), &source, 0xFFFFFFFF, &blend,
                          ULW_ALPHA);
}

BOOL CLoginBkDlg::PreTranslateMessage(MSG* msg) {
    if (IsEnterOrEscapeKey(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CLoginBkDlg::OnLButtonDown(UINT, POINT point) {
    Default();
    // A press anywhere on the skin drags the window.
    SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void CLoginBkDlg::OnWindowPosChanged(WINDOWPOS*) {
    Default();
    if (m_loginDlg.m_hWnd == nullptr) return;
    RECT mine{};
    GetWindowRect(&mine);
    const int width = mine.right - mine.left, height = mine.bottom - mine.top;
    m_loginDlg.MoveWindow(mine.left, mine.top, width, height);
    if (HWND embedding = ::FindWindowExW(m_loginDlg.m_hWnd, nullptr, L"Shell Embedding", L""))
        ::MoveWindow(embedding, 0, 0, width, height, TRUE);
}

void CLoginBkDlg::OnShowWindow(BOOL show, UINT) {
    Default();
    if (m_loginDlg.m_hWnd == nullptr) return;
    m_loginDlg.ShowWindow(show ? SW_SHOW : SW_HIDE);
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}
