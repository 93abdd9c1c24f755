// Shows the skinned message box or the image progress bar and saves a
// screenshot of it for people to look at:
//   kit_screen.exe msgbox OUTPUT.png    a yes/no question in Chinese
//   kit_screen.exe progress OUTPUT.png  the update dialog's look at 37 %
//   kit_screen.exe settings OUTPUT.png  the hotkey settings dialog
#include <windows.h>

#include <string>

#include "fw/handles_win.h"
#include "tests/screens/screen_util_win.h"
#include "res/resource.h"
#include "tools/setting_dlg_win.h"
#include "ui/dlg_ex_win.h"
#include "ui/image_loader_win.h"
#include "ui/img_progress_win.h"
#include "ui/message_box_win.h"

namespace {

constexpr int kMargin = 24;

// Saves the screen around `window`, with a margin of the backdrop.
bool SaveAround(HWND window, const std::wstring& path) {
    RECT r{};
    GetWindowRect(window, &r);
    const int x = r.left - kMargin, y = r.top - kMargin;
    const int w = r.right - r.left + 2 * kMargin, h = r.bottom - r.top + 2 * kMargin;
    return SaveScreenArea(x, y, w, h, path);
}

// The message box runs modally: a thread timer takes the picture and then
// answers it.
std::wstring g_output;
bool g_saved = false;
int g_ticks = 0;

void CALLBACK ShootBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            if (IsWindowVisible(w) && GetDlgItem(w, 5000) != nullptr) {
                *reinterpret_cast<HWND*>(lp) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (box == nullptr || ++g_ticks < 15) return;
    if (g_ticks == 15) {
        g_saved = SaveAround(box, g_output);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);
    }
}

int ShootMessageBox() {
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, ShootBox);
    CMessageBox::Show(MB_YESNO, L"梦幻大陆", L"确定要移除 梦幻大陆 吗？\n移除后，桌面快捷方式也将一并删除。");
    KillTimer(nullptr, timer);
    return g_saved ? 0 : 1;
}

// The update dialog's frame with its bar at 37 %.
class CProgressFrame : public CDlgEx {
public:
    CProgressFrame() : CDlgEx(IDD_UPDATE) {}

protected:
    BOOL OnInitDialog() override {
        CDlgEx::OnInitDialog();
        m_nCaptionHeight = 30;
        m_nBorder = 4;
        m_nBtnRight = 0;
        m_nBtnTop = 0;
        m_nBtnGap = 0;
        m_close.Reset(Png(IDP_CLOSE));
        SetSkin(m_close.Get(), Png(IDP_FRAME_LIGHT), FALSE, TRUE);
        SetTitle(L"版本更新中...");
        m_progress.SubclassDlgItem(IDC_PROGRESS, this);
        m_progress.SetImages(Png(IDP_PROGRESS_TRACK), Png(IDP_PROGRESS_BAR));
        m_progress.SetRange32(0, 100);
        m_progress.SetPos(37);
        CenterWindow();
        return TRUE;
    }
    void OnOK() override {}
    void OnCancel() override {}

private:
    fw::ScopedBitmap m_close;
    CImgProgress m_progress;
};

int ShootProgress() {
    CProgressFrame frame;
    if (!frame.Create(IDD_UPDATE)) return 1;
    frame.ShowWindow(SW_SHOW);
    frame.Invalidate(TRUE);
    PumpFor(1500);
    const bool saved = SaveAround(frame.m_hWnd, g_output);
    frame.DestroyWindow();
    return saved ? 0 : 1;
}

int ShootSettings() {
    CSettingDlg dialog;
    if (!dialog.Create(IDD_SETTINGS)) return 1;
    dialog.CenterWindow();
    dialog.ShowWindow(SW_SHOW);
    dialog.Invalidate(TRUE);
    PumpFor(1500);
    const bool saved = SaveAround(dialog.m_hWnd, g_output);
    dialog.DestroyWindow();
    return saved ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    g_output = argv[2];
    const std::wstring what = argv[1];
    // A light backdrop, so that the cut corners show.
    HWND backdrop = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 0, 0,
                                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    PumpFor(200);
    const int result = what == L"msgbox"     ? ShootMessageBox()
                       : what == L"progress" ? ShootProgress()
                       : what == L"settings" ? ShootSettings()
                                             : 2;
    DestroyWindow(backdrop);
    return result;
}
