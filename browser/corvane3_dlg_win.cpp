#include "browser/corvane3_dlg_win.h"

#include "app/ctrl_block.h"
#include "app/process_state.h"
#include "browser/login_text.h"
#include "login/login_dlg_win.h"
#include "res/resource.h"
#include "ui/image_loader_win.h"

BEGIN_MESSAGE_MAP(CCorvane3Dlg, CDlgEx)
    ON_WM_COPYDATA()
END_MESSAGE_MAP()

CCorvane3Dlg::CCorvane3Dlg() : CDlgEx(IDD_MAIN_FRAME) {}

CCorvane3Dlg::~CCorvane3Dlg() {
    // The login window is owned by the frame: it goes first.
    if (m_loginBk.m_hWnd != nullptr) m_loginBk.DestroyWindow();
}

BOOL CCorvane3Dlg::OnInitDialog() {
    CDlgEx::OnInitDialog();
    m_hIcon.Reset(static_cast<HICON>(
        ::LoadImageW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.Get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon.Get()));

    ModifyStyle(0, WS_CLIPCHILDREN);
    SetTitle(TheCtrlBlock().TitleName());
    MoveWindow(0, 0, 1, 1);
    m_loginBk.Create(IDD_EMPTY_POPUP, this);
    ShowLoginFace();
    return TRUE;
}

void CCorvane3Dlg::OnOK() {}

void CCorvane3Dlg::ShowLoginFace() {
    TheOpenPageCount() = static_cast<int>(m_titles.size());
    m_loginBk.ShowWindow(SW_SHOW);
    m_loginBk.CenterOnDesktop();
}

void CCorvane3Dlg::ExitClient() { ::PostQuitMessage(0); }

BOOL CCorvane3Dlg::OnCopyData(HWND, COPYDATASTRUCT* data) {
    const std::optional<std::wstring> text =
        data != nullptr ? LoginTextFromCopyData(data->lpData, data->cbData) : std::nullopt;
    if (!text) return FALSE;
    const LoginTextFields fields = SplitLoginText(*text);
    for (const std::wstring& title : m_titles) {
        if (title == fields.label) return FALSE;
    }
    m_titles.push_back(fields.label);
    return TRUE;
}

BOOL CCorvane3Dlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE && msg->hwnd == m_hWnd) {
        if (msg->lParam == kLoginCloseMarker) {
            if (m_titles.empty())
                ExitClient();
            else
                m_loginBk.ShowWindow(SW_HIDE);
            return TRUE;
        }
        if (msg->lParam == 0 && m_titles.empty()) {
            ExitClient();
            return TRUE;
        }
    }
    return CDlgEx::PreTranslateMessage(msg);
}
