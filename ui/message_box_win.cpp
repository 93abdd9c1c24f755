#include "ui/message_box_win.h"

#include "fw/win_app_win.h"
#include "res/resource.h"
#include "ui/box_placement_win.h"
#include "ui/image_loader_win.h"
#include "ui/msgbox_layout.h"
#include "ui/msgbox_paint_win.h"

static_assert(ui::kMsgBoxOk == MB_OK && ui::kMsgBoxOkCancel == MB_OKCANCEL && ui::kMsgBoxYesNo == MB_YESNO);
static_assert(ui::kMsgBoxIdOk == IDOK && ui::kMsgBoxIdCancel == IDCANCEL && ui::kMsgBoxIdYes == IDYES &&
              ui::kMsgBoxIdNo == IDNO);
static_assert(ui::kMsgBoxDialogTemplateId == IDD_MESSAGE_BOX && ui::kMsgBoxSkinId == IDP_FRAME_LIGHT &&
              ui::kMsgBoxCloseStripId == IDP_CLOSE_SMALL && ui::kMsgBoxButtonStripId == IDP_BUTTON);

BEGIN_MESSAGE_MAP(CMessageBox, CDlgEx)
    ON_WM_PAINT()
    ON_WM_CLOSE()
    ON_COMMAND(ui::kMsgBoxFirstButtonId, OnButton1)
    ON_COMMAND(ui::kMsgBoxSecondButtonId, OnButton2)
END_MESSAGE_MAP()

CMessageBox::CMessageBox() : CDlgEx(ui::kMsgBoxDialogTemplateId), m_clrText(ui::kMsgBoxTextColour) {}

CMessageBox::~CMessageBox() {
    // The buttons paint from the strips: the window goes first.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
}

int CMessageBox::Show(int style, const std::wstring& caption, const std::wstring& text, HWND owner) {
    const HMODULE module = fw::ResourceInstance();
    if (owner == nullptr) {
        const CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd != nullptr) owner = app->m_pMainWnd->m_hWnd;
    }
    // A window already gone would make the box fail to open at all.
    if (owner != nullptr && !::IsWindow(owner)) owner = nullptr;
    CMessageBox box;
    box.SetOwnerWindow(MessageBoxOwner(owner));
    box.m_bmpFrame.Reset(LoadSkinImage(module, ui::kMsgBoxSkinId));
    box.m_bmpClose.Reset(LoadSkinImage(module, ui::kMsgBoxCloseStripId));
    box.m_bmpButton1.Reset(LoadSkinImage(module, ui::kMsgBoxButtonStripId));
    box.m_bmpButton2.Reset(LoadSkinImage(module, ui::kMsgBoxButtonStripId));
    box.m_nStyle = style;
    box.m_strCaption = caption;
    box.m_strText = text;
    box.m_clrText = ui::kMsgBoxTextColour;
    return static_cast<int>(box.DoModal());
}

BOOL CMessageBox::OnInitDialog() {
    CDlgEx::OnInitDialog();
    m_nCaptionHeight = ui::kMsgBoxCaptionHeight;
    m_nBorder = ui::kMsgBoxBorder;
    m_nBtnRight = ui::kMsgBoxCaptionButtonRight;
    m_nBtnTop = ui::kMsgBoxCaptionButtonTop;
    m_nBtnGap = ui::kMsgBoxCaptionButtonGap;
    SetSkin(m_bmpClose.Get(), m_bmpFrame.Take(), FALSE, TRUE);
    SetTitle(m_strCaption);

    m_nLines = ui::MsgBoxLineCount(m_strText);
    m_font = GetFont();
    const SIZE strip = fw::BitmapSize(m_bmpButton1.Get());
    const ui::MsgBoxSize size = MsgBoxWindowSizeFor(m_hWnd, m_font, m_strText, strip);
    SetWindowPos(nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceMessageBox(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));

    RECT client{};
    GetClientRect(&client);
    const auto buttons = ui::MsgBoxButtons(m_nStyle, client.right, client.bottom, strip.cx, strip.cy);
    for (const ui::MsgBoxButton& place : buttons) {
        if (place.id == ui::kMsgBoxFirstButtonId) CreateButton(m_btn1, place, m_bmpButton1);
        if (place.id == ui::kMsgBoxSecondButtonId) CreateButton(m_btn2, place, m_bmpButton2);
    }

    const HWND textControl =
        CreateWindowExW(0, L"STATIC", m_strText.c_str(), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextControlId)), fw::ResourceInstance(), nullptr);
    if (textControl != nullptr) ::SendMessageW(textControl, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    return TRUE;
}

void CMessageBox::CreateButton(CBtnEx& button, const ui::MsgBoxButton& place, const fw::ScopedBitmap& strip) {
    const std::wstring label(place.label);
    const RECT rect{place.rect.left, place.rect.top, place.rect.right, place.rect.bottom};
    if (!button.Create(label.c_str(), WS_CHILD | WS_VISIBLE, rect, this, static_cast<UINT>(place.id))) return;
    button.SetImage(strip, FALSE);
    button.Invalidate(TRUE);
}

void CMessageBox::OnPaint() {
    Default();
    PaintMsgBoxText(m_hWnd, m_font, m_strText);
}

// The caption's close button comes here too: a question closed that way is
// cancelled, never answered "no".
void CMessageBox::OnClose() { EndDialog(ui::kMsgBoxCloseResult); }

void CMessageBox::OnButton1() { EndDialog(ui::MsgBoxCommandResult(m_nStyle, ui::kMsgBoxFirstButtonId)); }

void CMessageBox::OnButton2() { EndDialog(ui::MsgBoxCommandResult(m_nStyle, ui::kMsgBoxSecondButtonId)); }
