#include "browser/desktop_tools_win.h"

#include "tools/cache_clean_win.h"
#include "tools/fav_dlg_win.h"

void OpenFavouriteDialog(HWND parent) {
    // A hall window belongs to another process: the dialog then has no
    // framework owner and stands on its own.
    CFavDlg dialog(L"", L"", CWnd::FromHandlePermanent(parent));
    dialog.DoModal();
}

void StartCacheCleaning() { StartClearCache(); }
