#pragma once

// CMessageBox: the client's questions and notices in its own skin instead of
// the system's box. It takes the system box's style codes (MB_OK,
// MB_OKCANCEL, MB_YESNO; anything else behaves as MB_OK) and answers the
// system's button codes, so callers use it exactly like MessageBox.

#include <string>

#include "fw/handles_win.h"
#include "ui/btn_ex_win.h"
#include "ui/dlg_ex_win.h"
#include "ui/msgbox_layout.h"

class CMessageBox : public CDlgEx {
public:
    CMessageBox();
    ~CMessageBox() override;

    // Loads the box's images from the program's resources and runs it
    // modally, owned by MessageBoxOwner(owner) (none: of the application's
    // main window, if any) and placed over it by PlaceMessageBox; the owner
    // is disabled while it runs. Returns IDOK, IDCANCEL, IDYES or IDNO; -1
    // when the box could not be shown at all.
    static int Show(int style, const std::wstring& caption, const std::wstring& text, HWND owner = nullptr);

    fw::ScopedBitmap m_bmpFrame;    // taken over by the frame at initialisation
    fw::ScopedBitmap m_bmpClose;
    fw::ScopedBitmap m_bmpButton1;
    fw::ScopedBitmap m_bmpButton2;
    std::wstring m_strText;
    std::wstring m_strCaption;
    int m_nStyle = 0;
    int m_nLines = 1;
    HFONT m_font = nullptr;  // the dialog's own font
    COLORREF m_clrText;
    CBtnEx m_btn1;
    CBtnEx m_btn2;

    // The id of the hidden static that carries the text, as the system box's
    // text control does: automation and accessibility tools read it there.
    static constexpr int kTextControlId = 0xFFFF;

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape leave the box open: only its buttons and its close
    // button answer it.
    void OnOK() override {}
    void OnCancel() override {}

    DECLARE_MESSAGE_MAP()
    void OnPaint();
    void OnClose();
    void OnButton1();
    void OnButton2();

private:
    void CreateButton(CBtnEx& button, const ui::MsgBoxButton& place, const fw::ScopedBitmap& strip);
};
