// Shows the skinned frame as the main frame configures it, with a row of
// skinned buttons, and saves a screenshot of it for people to look at:
//   frame_screen.exe OUTPUT.png
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "fw/handles_win.h"
#include "tests/screens/screen_util_win.h"
#include "res/resource.h"
#include "ui/btn_ex_win.h"
#include "ui/dlg_ex_win.h"
#include "ui/image_loader_win.h"

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 440;
constexpr int kMargin = 24;

class CDemoFrame : public CDlgEx {
public:
    CDemoFrame() : CDlgEx(IDD_EMPTY_POPUP) {}
    ~CDemoFrame() override {
        for (HBITMAP b : m_strips) DeleteObject(b);
    }

protected:
    BOOL OnInitDialog() override {
        CDlgEx::OnInitDialog();
        m_icon.Reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0)));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon.Get()));
        m_nCaptionHeight = 30;
        m_nBorder = 4;
        m_nBtnRight = 0;
        m_nBtnTop = 0;
        m_nTitleWeight = 600;
        m_bResizable = TRUE;
        MoveWindow(kMargin, kMargin, kWidth, kHeight, FALSE);
        m_strips[0] = Png(IDP_CLOSE);
        m_strips[1] = Png(IDP_MIN);
        SetSkin(m_strips[0], Png(IDP_FRAME_MAIN), FALSE, TRUE, m_strips[1], Png(IDP_MAX), Png(IDP_RESTORE));
        SetTitle(L"Corvane 游戏登录器");

        // The tool row of the main frame, and the OK/Cancel pair of the dialogs.
        struct Spec {
            UINT id, strip;
            int x, y, w, h;
            const wchar_t* text;
        } const specs[] = {
            {1002, IDP_SOUND_ON, 10, 36, 56, 23, L""},     {1027, IDP_REFRESH, 66, 36, 57, 23, L""},
            {1028, IDP_SCREENSHOT, 123, 36, 63, 23, L""},  {1032, IDP_MESSAGES, kWidth - 255, 36, 60, 23, L""},
            {1031, IDP_PAY, kWidth - 195, 36, 60, 23, L""}, {1030, IDP_NOVICE, kWidth - 135, 36, 60, 23, L""},
            {1029, IDP_SERVICE, kWidth - 75, 36, 60, 23, L""}, {1001, IDP_BOSS, kWidth - 170, 0, 53, 25, L""},
            {1003, IDP_TOOL_MENU, kWidth - 117, 0, 29, 25, L""},
            {IDOK, IDP_BUTTON, kWidth / 2 - 67, kHeight - 53, 57, 23, L"确定"},
            {IDCANCEL, IDP_BUTTON, kWidth / 2 + 10, kHeight - 53, 57, 23, L"取消"},
            {1026, IDP_NEW_PAGE, 250, 5, 28, 16, L""},
        };
        for (std::size_t i = 0; i < std::size(specs); ++i) {
            const Spec& s = specs[i];
            m_strips[2 + i] = Png(s.strip);
            m_buttons[i].Create(s.text, WS_CHILD | WS_VISIBLE, RECT{s.x, s.y, s.x + s.w, s.y + s.h}, this, s.id);
            m_buttons[i].SetImage(m_strips[2 + i], FALSE);
            m_buttons[i].m_clrText = RGB(255, 255, 255);
        }
        m_buttons[1].m_bHover = TRUE;  // refresh shows its hover frame
        m_buttons[8].m_bHover = TRUE;
        m_buttons[5].EnableWindow(FALSE);  // novice card shows the disabled frame
        return TRUE;
    }
    void OnOK() override {}
    void OnCancel() override {}

private:
    fw::ScopedIcon m_icon;
    std::array<HBITMAP, 14> m_strips{};
    std::array<CBtnEx, 12> m_buttons;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    // A light backdrop, so that the cut corners show.
    HWND backdrop = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 0, 0,
                                    kWidth + 2 * kMargin, kHeight + 2 * kMargin, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    CDemoFrame frame;
    if (!frame.Create(IDD_EMPTY_POPUP)) return 1;
    frame.ShowWindow(SW_SHOW);
    SetWindowPos(frame.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    frame.Invalidate(TRUE);
    PumpFor(1500);

    const int w = kWidth + 2 * kMargin, h = kHeight + 2 * kMargin;
    const bool saved = SaveScreenArea(0, 0, w, h, argv[1]);
    frame.DestroyWindow();
    DestroyWindow(backdrop);
    return saved ? 0 : 1;
}
