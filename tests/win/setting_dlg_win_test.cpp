#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "app/ctrl_block.h"
#include "res/resource.h"
#include "tools/hotkey_store.h"
#include "tools/hotkey_store_win.h"
#include "tools/setting_dlg_win.h"
#include "ui/message_box_win.h"
#include "ui/msgbox_layout.h"
#include "win_test_util.h"

// The settings dialog driven by messages, as a user's keys reach it, with
// this program's own section of the settings file (tests/win/tools.cmake).

namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// A key pressed in one edit: the thread's key state carries the modifiers,
// the key itself arrives as the message the system would post.
void PressIn(HWND dialog, int editId, int vk, std::set<int> modifiers, bool systemKey = false) {
    const HWND edit = GetDlgItem(dialog, editId);
    SetFocus(edit);
    BYTE state[256] = {};
    for (int m : modifiers) state[m] = 0x80;
    SetKeyboardState(state);
    PostMessageW(edit, systemKey ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
}

HWND FindMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lp) -> BOOL {
            if (IsWindowVisible(window) && GetDlgItem(window, ui::kMsgBoxFirstButtonId) != nullptr) {
                *reinterpret_cast<HWND*>(lp) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Steps run one per timer tick inside the dialog's modal loop (and inside the
// message box's, which the same thread runs).
struct Script {
    CSettingDlg* dialog = nullptr;
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    int ticks = 0;
};
thread_local Script* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script& s = *g_script;
    const HWND dialog = s.dialog->m_hWnd;
    if (++s.ticks > 500) {  // a dialog that never ends must not hang the run
        if (HWND box = FindMessageBox()) PostMessageW(box, WM_COMMAND, ui::kMsgBoxFirstButtonId, 0);
        if (dialog != nullptr) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (dialog == nullptr || !IsWindowVisible(dialog) || s.next >= s.steps.size()) return;
    const size_t step = s.next++;
    s.steps[step](dialog);
}

INT_PTR RunDialog(CSettingDlg& dialog, Script& script) {
    script.dialog = &dialog;
    g_script = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
    const INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    g_script = nullptr;
    SetKeyboardState(std::array<BYTE, 256>{}.data());
    return result;
}

class SettingDlgTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TheCtrlBlock().ShortName(), L"WinTestHotkeys");
        WritePrivateProfileStringW(L"WinTestHotkeys", nullptr, nullptr, ProgramFolderSettingsPath().c_str());
    }
    static std::wstring Stored(const SettingKey& key) { return HotkeySettings().Read(key); }
};

}  // namespace

TEST_F(SettingDlgTest, CapturesRejectsConflictsSavesAndAsksClientsToReload) {
    HotkeySettings().Write(settings::kAltWndKey, L"4,9");
    // Running clients: dialogs bearing the build's title; one more than are asked.
    std::vector<HWND> clients;
    for (int i = 0; i < 11; ++i) {
        clients.push_back(CreateWindowExW(0, L"#32770", TheCtrlBlock().TitleName().c_str(), WS_POPUP, 0, 0, 10, 10,
                                          nullptr, nullptr, nullptr, nullptr));
    }
    const HWND stranger =
        CreateWindowExW(0, L"#32770", L"另一个游戏", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    const auto expectText = [](int id, const wchar_t* text) {
        return [id, text](HWND dialog) { EXPECT_EQ(TextOf(GetDlgItem(dialog, id)), text) << id; };
    };
    std::wstring boxText, boxCaption;
    bool openAfterConflict = false;
    Script script;
    script.steps = {
        [](HWND d) { PressIn(d, IDC_BOSS_KEY, 'B', {VK_CONTROL}); },
        expectText(IDC_BOSS_KEY, L"Ctrl  +  B"),
        [](HWND d) { PressIn(d, IDC_SOUND_KEY, 'B', {VK_CONTROL}); },
        expectText(IDC_SOUND_KEY, L"Ctrl  +  B"),
        // Alt + F10 arrives as a system key.
        [](HWND d) { PressIn(d, IDC_SWITCH_KEY, VK_F10, {VK_MENU}, true); },
        expectText(IDC_SWITCH_KEY, L"Alt  +  F10"),
        // Esc and Enter neither close the dialog nor become keys.
        [](HWND d) { PressIn(d, IDC_BOSS_KEY, VK_ESCAPE, {}); },
        [](HWND d) { PressIn(d, IDC_BOSS_KEY, VK_RETURN, {}); },
        expectText(IDC_BOSS_KEY, L"Ctrl  +  B"),
        [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); },
        [&](HWND) {
            const HWND box = FindMessageBox();
            ASSERT_NE(box, nullptr) << "no conflict notice";
            boxCaption = TextOf(box);
            boxText = TextOf(GetDlgItem(box, CMessageBox::kTextControlId));
            PostMessageW(box, WM_COMMAND, ui::kMsgBoxFirstButtonId, 0);
        },
        [&](HWND d) {
            openAfterConflict = IsWindowVisible(d) != FALSE;
            EXPECT_EQ(Stored(settings::kShortKey), L"0,121") << "a conflict saves nothing";
        },
        [](HWND d) { PressIn(d, IDC_SOUND_KEY, VK_DELETE, {}); },
        expectText(IDC_SOUND_KEY, L"无"),
        // Only a modifier: shown, but that key is not saved.
        [](HWND d) { PressIn(d, IDC_SWITCH_KEY, VK_CONTROL, {VK_CONTROL}); },
        expectText(IDC_SWITCH_KEY, L"Ctrl  +  "),
        [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); },
    };
    CSettingDlg dialog;
    EXPECT_EQ(RunDialog(dialog, script), IDOK);
    EXPECT_EQ(script.next, script.steps.size());
    EXPECT_TRUE(openAfterConflict);
    EXPECT_EQ(boxCaption, TheCtrlBlock().TitleName());
    EXPECT_EQ(boxText, CSettingDlg::kConflictText);

    EXPECT_EQ(Stored(settings::kShortKey), L"2,66");
    EXPECT_EQ(Stored(settings::kSndKey), L"0,0");
    EXPECT_EQ(Stored(settings::kAltWndKey), L"4,9");

    // Each client asked once, at most ten of them, and a client reloads then.
    std::map<HWND, int> asked;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, kMsgReloadHotkeys, kMsgReloadHotkeys, PM_REMOVE)) {
        ++asked[msg.hwnd];
        LoadHotkeys();
    }
    EXPECT_EQ(asked.size(), 10u);
    EXPECT_EQ(asked.count(stranger), 0u);
    for (const auto& [window, times] : asked) EXPECT_EQ(times, 1);
    EXPECT_EQ(CurrentHotkeys().boss, (Hotkey{2, 66}));
    EXPECT_EQ(CurrentHotkeys().windowSwitch, (Hotkey{4, 9}));
    EXPECT_EQ(CurrentHotkeys().sound, (Hotkey{0, 0}));
    for (HWND client : clients) DestroyWindow(client);
    DestroyWindow(stranger);
}

TEST_F(SettingDlgTest, CancelSavesNothing) {
    Script script;
    script.steps = {
        [](HWND d) { PressIn(d, IDC_BOSS_KEY, 'X', {VK_CONTROL}); },
        [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); },
    };
    CSettingDlg dialog;
    EXPECT_EQ(RunDialog(dialog, script), IDCANCEL);
    EXPECT_EQ(Stored(settings::kShortKey), L"0,121");
    EXPECT_EQ(GetPrivateProfileIntW(L"WinTestHotkeys", L"ShortKey", -1, ProgramFolderSettingsPath().c_str()), -1);
}

TEST_F(SettingDlgTest, ShowsStoredKeysAndPaintsItsGroupFrames) {
    HotkeySettings().Write(settings::kShortKey, L"6,65");
    HotkeySettings().Write(settings::kSndKey, L"0,0");
    CSettingDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_SETTINGS));
    EXPECT_EQ(TextOf(dialog.GetDlgItem(IDC_BOSS_KEY)), L"Ctrl  +  Shift  +  A");
    EXPECT_EQ(TextOf(dialog.GetDlgItem(IDC_SWITCH_KEY)), L"Ctrl  +  Tab");
    EXPECT_EQ(TextOf(dialog.GetDlgItem(IDC_SOUND_KEY)), L"无");
    EXPECT_EQ(TextOf(dialog.m_hWnd), L"设置");
    for (const CStaticEx& label : dialog.m_statics) EXPECT_EQ(label.m_clrText, 0x999999u);

    RECT window{};
    GetWindowRect(dialog.m_hWnd, &window);
    wintest::Surface surface(window.right - window.left, window.bottom - window.top);
    ASSERT_TRUE(dialog.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.Dc())));
    struct Pixel {
        int x, y;
        bool white;
    } const pixels[] = {
        {12, 85, true},   {150, 120, true}, {297, 100, true}, {200, 50, true}, {15, 50, true},   // group 1
        {12, 190, true},  {297, 160, true}, {150, 223, true},                                    // group 2
        {12, 300, true},  {150, 326, true}, {297, 270, true},                                    // group 3
        {200, 85, false}, {150, 150, false}, {303, 100, false},                                  // inside, beside
    };
    for (const Pixel& p : pixels) EXPECT_EQ(surface.At(p.x, p.y) == 0xFFFFFF, p.white) << p.x << "," << p.y;
    dialog.DestroyWindow();
}
