#include "browser/desktop_tools_win.h"

#include "tools/cache_clean_win.h"
#include "tools/fav_dlg_win.h"

void OpenFavouriteDialog(HWND parent) {
    // The hall window belongs to another process: no object of ours stands
    // for it, yet the dialog belongs above it.
    CFavDlg dialog(L"", L"", CWnd::FromHandlePermanent(parent));
    if (dialog.m_pParentWnd == nullptr) dialog.SetOwnerWindow(parent);
    dialog.DoModal();
}

void StartCacheCleaning() { StartClearCache(); }
