// Shows the login face (the login background; Wine has no HTML engine, so
// no page is drawn on it) over a grey backdrop, and saves a screenshot of it
// for people to look at:
//   login_screen.exe OUTPUT.png
#include <windows.h>

#include "fw/com_util_win.h"
#include "fw/handles_win.h"
#include "login/login_bk_dlg_win.h"
#include "res/resource.h"
#include "tests/screens/screen_util_win.h"

namespace {

constexpr int kMargin = 24;

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    AfxEnableControlContainer();
    CLoginBkDlg login;
    if (!login.Create(IDD_EMPTY_POPUP)) return 1;
    const SIZE size = login.ImageSize();
    const int w = size.cx + 2 * kMargin, h = size.cy + 2 * kMargin;
    // A grey backdrop, so that the soft edges and shadows of the skin show.
    HWND backdrop = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_GRAYRECT, 0, 0, w, h, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
    login.SetWindowPos(nullptr, kMargin, kMargin, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    login.ShowWindow(SW_SHOW);
    // Wine's browser has no HTML engine: where a page would paint its
    // magenta holes it lays a white sheet over the whole skin. The shot
    // shows the skin as the page's holes reveal it.
    login.LoginPage().ShowWindow(SW_HIDE);
    PumpFor(1500);

    const bool saved = SaveScreenArea(0, 0, w, h, argv[1]);
    login.DestroyWindow();
    DestroyWindow(backdrop);
    return saved ? 0 : 1;
}
