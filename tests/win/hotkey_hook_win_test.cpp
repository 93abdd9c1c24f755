#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

// A frame with game pages as the hook sees it: a window that takes the
// hook's posts and does what they ask; ToggleHide hides the current page with
// the frame and brings both back.
class CFrameStandIn final : public IHotkeyTarget {
public:
    CFrameStandIn() {
        m_frame = MakeWindow();
        SetWindowSubclass(m_frame, TakeHotkey, 0, reinterpret_cast<DWORD_PTR>(this));
        m_pages = {MakeWindow(), MakeWindow()};
        ShowWindow(m_frame, SW_SHOWNA);
        ShowWindow(m_pages[m_current], SW_SHOWNA);
    }
    ~CFrameStandIn() override {
        RemoveWindowSubclass(m_frame, TakeHotkey, 0);
        DestroyWindow(m_frame);
        for (HWND page : m_pages) DestroyWindow(page);
    }

    int GamePageCount() const override { return m_pageCount; }
    void ToggleHide() override {
        m_actionThreads.push_back(GetCurrentThreadId());
        const bool visible = IsWindowVisible(m_frame) != FALSE;
        ShowWindow(m_pages[m_current], visible ? SW_HIDE : SW_SHOWNA);
        ShowWindow(m_frame, visible ? SW_HIDE : SW_SHOWNA);
    }
    void ToggleMute() override {
        m_actionThreads.push_back(GetCurrentThreadId());
        m_mute = !m_mute;
    }
    void SetPages(int count) {
        m_pageCount = count;
        m_hookPages = count;
    }

    std::atomic<int> m_hookPages{0};
    bool m_mute = false;
    HWND m_frame = nullptr;
    std::vector<HWND> m_pages;
    size_t m_current = 1;
    // The threads the actions ran on.
    std::vector<DWORD> m_actionThreads;

private:
    // Without a system menu: hiding such a window is quick under Wine.
    static HWND MakeWindow() {
        return CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                               nullptr);
    }
    static LRESULT CALLBACK TakeHotkey(HWND window, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (message != kMsgHotkey) return DefSubclassProc(window, message, wp, lp);
        RunHotkeyAction(wp, *reinterpret_cast<CFrameStandIn*>(self));
        return 0;
    }

    int m_pageCount = 0;
};

// Another program's window with the keyboard focus, on a thread of its own:
// the keys go there, and the hook sees them only as the system hands them
// on. The system passes a key to its window only after every low-level hook
// has had it, so a key counted here has been through the hook.
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
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSKEYUP && msg.message != WM_CHAR) ++m_keys;
                DispatchMessageW(&msg);
            }
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
    int Keys() const { return m_keys; }

private:
    std::thread m_thread;
    HWND m_window = nullptr;
    DWORD m_threadId = 0;
    std::atomic<int> m_keys{0};
};

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

std::vector<INPUT> PressAndRelease(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD vk : keys) inputs.push_back(KeyInput(vk, false));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) inputs.push_back(KeyInput(*it, true));
    return inputs;
}

// Sends the keys without running this thread's messages until the foreign
// window has every one of them (true), as a frame's thread held up by a
// page would; then runs them, which delivers what the hook posted.
bool Press(const CForeignFocus& foreign, const std::vector<WORD>& keys) {
    const std::vector<INPUT> inputs = PressAndRelease(keys);
    const int expected = foreign.Keys() + static_cast<int>(inputs.size());
    // From a thread of its own, as the keyboard's input arrives: a thread
    // that sends input runs its own hooks within the call.
    UINT sent = 0;
    std::thread keyboard([&] {
        sent = SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()), sizeof(INPUT));
    });
    const DWORD start = GetTickCount();
    while (foreign.Keys() < expected && GetTickCount() - start < 5000) Sleep(5);
    const bool through = foreign.Keys() >= expected;
    keyboard.join();
    if (sent != inputs.size()) return false;
    for (int i = 0; i < 5; ++i) {
        wintest::Pump();
        Sleep(5);
    }
    return through;
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

// The frame's thread runs no messages while each key goes through (Press):
// the keys still reach the focused program at once, and the actions wait
// for the frame's own thread.
TEST_F(HotkeyHookTest, BossAndSoundKeysActSystemWideOnlyWithAPageOpen) {
    CFrameStandIn frame;
    CForeignFocus foreign;
    ASSERT_EQ(GetForegroundWindow(), foreign.Window());
    ASSERT_TRUE(InstallKeyboardHook(frame.m_frame, &frame.m_hookPages));
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
        frame.SetPages(step.pages);
        EXPECT_TRUE(Press(foreign, step.keys)) << "the keys waited for the frame's thread";
        EXPECT_EQ(IsWindowVisible(frame.m_frame) != FALSE, step.frameVisible);
        EXPECT_EQ(frame.m_mute, step.mute);
        // Back on the page that was current, the other one untouched.
        EXPECT_EQ(IsWindowVisible(frame.m_pages[1]) != FALSE, step.frameVisible);
        EXPECT_FALSE(IsWindowVisible(frame.m_pages[0]));
    }
    EXPECT_EQ(frame.m_actionThreads, std::vector<DWORD>(4, GetCurrentThreadId()));

    RemoveKeyboardHook();
    EXPECT_TRUE(Press(foreign, ctrlB));
    EXPECT_EQ(frame.m_actionThreads.size(), 4u);
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
