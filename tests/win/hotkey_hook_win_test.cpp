#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/ctrl_block.h"
#include "tools/hotkey_store.h"
#include "tools/hotkey_store_win.h"
#include "tools/keyboard_hook_win.h"
#include "win_test_util.h"

// The hook against a stand-in for the main frame, with keys sent through the
// system's input queue as a user's would arrive.

namespace {

// A frame with game pages as the hook sees it: ToggleHide hides the current
// page with the frame and brings both back.
class CFrameStandIn final : public IHotkeyTarget {
public:
    CFrameStandIn() {
        m_frame = MakeWindow();
        m_pages = {MakeWindow(), MakeWindow()};
        ShowWindow(m_frame, SW_SHOWNA);
        ShowWindow(m_pages[m_current], SW_SHOWNA);
    }
    ~CFrameStandIn() override {
        DestroyWindow(m_frame);
        for (HWND page : m_pages) DestroyWindow(page);
    }

    int GamePageCount() const override {
        ++m_events;
        return m_pageCount;
    }
    void ToggleHide() override {
        const bool visible = IsWindowVisible(m_frame) != FALSE;
        ShowWindow(m_pages[m_current], visible ? SW_HIDE : SW_SHOWNA);
        ShowWindow(m_frame, visible ? SW_HIDE : SW_SHOWNA);
    }
    void ToggleMute() override { m_mute = !m_mute; }

    // Key events the hook has looked at.
    int Events() const { return m_events; }

    int m_pageCount = 0;
    bool m_mute = false;
    HWND m_frame = nullptr;
    std::vector<HWND> m_pages;
    size_t m_current = 1;

private:
    // Without a system menu: hiding such a window is quick under Wine.
    static HWND MakeWindow() {
        return CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                               nullptr);
    }

    mutable int m_events = 0;
};

// Another program's window with the keyboard focus, on a thread of its own:
// the keys go there, and the hook's thread sees them only through the hook.
class CForeignFocus {
public:
    CForeignFocus() {
        const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this, ready] {
            m_window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 80, 80, nullptr, nullptr,
                                       nullptr, nullptr);
            SetForegroundWindow(m_window);
            SetFocus(m_window);
            m_threadId = GetCurrentThreadId();
            SetEvent(ready);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
            DestroyWindow(m_window);
        });
        WaitForSingleObject(ready, 5000);
        CloseHandle(ready);
    }
    ~CForeignFocus() {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    HWND Window() const { return m_window; }

private:
    std::thread m_thread;
    HWND m_window = nullptr;
    DWORD m_threadId = 0;
};

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Presses the keys in order and releases them in reverse, then runs this
// thread's messages until the hook has seen every event (the hook is called
// through the installing thread's message loop).
void Press(CFrameStandIn& frame, std::vector<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD vk : keys) inputs.push_back(KeyInput(vk, false));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) inputs.push_back(KeyInput(*it, true));
    const int expected = frame.Events() + static_cast<int>(inputs.size());
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
    const DWORD start = GetTickCount();
    while (frame.Events() < expected && GetTickCount() - start < 5000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        wintest::Pump();
    }
    ASSERT_EQ(frame.Events(), expected) << "the hook did not see every key";
}

class HotkeyHookTest : public testing::Test {
protected:
    void SetUp() override {
        // This program's own section; the boss key with a modifier.
        CSettings settings = HotkeySettings();
        ASSERT_TRUE(settings.Write(settings::kShortKey, L"2,66"));
        ASSERT_TRUE(settings.Write(settings::kSndKey, L"2,81"));
        LoadHotkeys();
        ASSERT_EQ(CurrentHotkeys().boss, (Hotkey{2, 66}));
    }
    void TearDown() override { RemoveKeyboardHook(); }
};

}  // namespace

TEST_F(HotkeyHookTest, BossAndSoundKeysActSystemWideOnlyWithAPageOpen) {
    CFrameStandIn frame;
    CForeignFocus foreign;
    ASSERT_EQ(GetForegroundWindow(), foreign.Window());
    ASSERT_TRUE(InstallKeyboardHook(&frame));
    const std::vector<WORD> ctrlB{VK_CONTROL, 'B'}, ctrlQ{VK_CONTROL, 'Q'};
    struct Step {
        int pages;
        std::vector<WORD> keys;
        bool frameVisible;
        bool mute;
    } const steps[] = {
        {0, ctrlB, true, false},  // no game page: neither key acts
        {0, ctrlQ, true, false},
        {2, ctrlB, false, false},  // Ctrl is read as it is now, not as this thread last saw it
        {2, ctrlB, true, false},
        {2, ctrlQ, true, true},
        {2, ctrlQ, true, false},
    };
    int n = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(n++);
        frame.m_pageCount = step.pages;
        Press(frame, step.keys);
        EXPECT_EQ(IsWindowVisible(frame.m_frame) != FALSE, step.frameVisible);
        EXPECT_EQ(frame.m_mute, step.mute);
        // Back on the page that was current, the other one untouched.
        EXPECT_EQ(IsWindowVisible(frame.m_pages[1]) != FALSE, step.frameVisible);
        EXPECT_FALSE(IsWindowVisible(frame.m_pages[0]));
    }

    RemoveKeyboardHook();
    const int seen = frame.Events();
    INPUT inputs[] = {KeyInput(VK_CONTROL, false), KeyInput('B', false), KeyInput('B', true), KeyInput(VK_CONTROL, true)};
    ASSERT_EQ(SendInput(4, inputs, sizeof(INPUT)), 4u);
    for (int i = 0; i < 10; ++i) {
        Sleep(20);
        wintest::Pump();
    }
    EXPECT_EQ(frame.Events(), seen);
    EXPECT_TRUE(IsWindowVisible(frame.m_frame));
}

TEST_F(HotkeyHookTest, WindowSwitchKeyReadsThisThreadsModifiers) {
    ASSERT_TRUE(HotkeySettings().Write(settings::kAltWndKey, L"2,9"));
    LoadHotkeys();
    struct Case {
        UINT message;
        bool ctrl;
        bool expected;
    } const cases[] = {
        {WM_KEYDOWN, true, true},
        {WM_SYSKEYDOWN, true, true},
        {WM_KEYUP, true, false},
        {WM_KEYDOWN, false, false},
    };
    for (const Case& c : cases) {
        BYTE state[256] = {};
        state[VK_CONTROL] = c.ctrl ? 0x80 : 0;
        SetKeyboardState(state);
        EXPECT_EQ(IsWindowSwitchKey(c.message, VK_TAB), c.expected) << c.message << " " << c.ctrl;
    }
    BYTE released[256] = {};
    SetKeyboardState(released);
}
