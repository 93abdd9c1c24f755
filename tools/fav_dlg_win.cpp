#include "tools/fav_dlg_win.h"

#include "res/resource.h"
#include "tools/favourite_file_win.h"
#include "tools/shortcut_names.h"

CFavDlg::CFavDlg(const std::wstring& defaultName, const std::wstring& url, CWnd* parent)
    : CDialog(IDD_FAVOURITE, parent), m_defaultName(defaultName), m_url(url) {}

BOOL CFavDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemTextW(m_hWnd, IDC_FAVOURITE_NAME, m_defaultName.c_str());
    return TRUE;
}

void CFavDlg::OnOK() {
    wchar_t text[256] = {};
    GetDlgItemTextW(m_hWnd, IDC_FAVOURITE_NAME, text, 256);
    CDialog::OnOK();
    WriteFavourite(FavouriteNameFromEdit(text), m_url);
}
