// The main frame driven by messages as the login page, the mouse and the
// keyboard would drive it, with its beacons caught by a loopback server on
// the port of this program's control block (127.0.0.1:7296).

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <string>
#include <utility>
#include <vector>

#include "app/ctrl_block.h"
#include "app/process_state.h"
#include "app/settings_store_win.h"
#include "app/statistics_win.h"
#include "app/update_query.h"
#include "browser/corvane3_dlg_win.h"
#include "browser/tab_strip.h"
#include "res/resource.h"
#include "tools/hotkey_store.h"
#include "tools/hotkey_store_win.h"
#include "ui/image_loader_win.h"
#include "tests/win/box_watch_win.h"
#include "tests/win/fake_dispatch_win.h"
#include "tests/win/frame_skins.h"
#include "tests/win/loopback_server_win.h"
#include "tests/win/win_test_util.h"

namespace {

using wintest::EventArgs;

constexpr uint16_t kPort = 7296;

// The frame with its questions and message boxes answered by the test, or
// shown for real when `realBoxes` is set.
class CTestFrame : public CCorvane3Dlg {
public:
    std::vector<std::wstring> asked;
    std::vector<std::wstring> opened;
    UINT menuChoice = 0;  // answers the next menu without showing it
    bool realBoxes = false;
    int Ask(const std::wstring& text) { return AskUser(0, text); }

protected:
    int AskUser(UINT style, const std::wstring& text) override {
        asked.push_back(text);
        return realBoxes ? CCorvane3Dlg::AskUser(style, text) : IDYES;
    }
    void OpenWebShortcut(const std::wstring& url) override { opened.push_back(url); }
    UINT TrackMenu(HMENU menu, UINT flags, int x, int y, HWND owner) override {
        if (menuChoice == 0) return CCorvane3Dlg::TrackMenu(menu, flags, x, y, owner);
        return std::exchange(menuChoice, 0);
    }
};

// The portal's update description, slow to come, naming this build's own
// version (ClientVersion=9.9).
void AnswerSlowUpdateInfo(CWinLoopbackServer::CConn& conn, const std::string& request) {
    if (request.find("_a=getUpdateInfo") == std::string::npos) return CWinLoopbackServer::AnswerOk(conn, request);
    Sleep(1000);
    conn.Reply("200 OK", "{\"version\":\"9.9\",\"tag\":\"ab99\",\"url\":\"http://127.0.0.1:7296/n.exe\",\"size\":\"3\","
                         "\"sha256\":\"" + std::string(64, 'a') + "\",\"signature\":\"MAE=\"}");
}

// Runs messages as the frame's modal loop does, pre-translation included;
// remembers a quit message.
struct Loop {
    bool quit = false;
    WPARAM code = 99;
    void Run(DWORD ms, const std::function<bool()>& done = nullptr) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            if (done && done()) return;
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quit = true;
                    code = msg.wParam;
                    continue;
                }
                if (fw::PreTranslate(&msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(5);
        }
    }
};

// Opaque pixels of frame 0 of the skin `image` that `control`, printed into
// a memory DC, does not show with the frame's corner at `at`; -1 when it
// cannot show the frame at all.
int SkinMisses(HWND control, UINT image, int frames, POINT at = {0, 0}) {
    RECT client{};
    GetClientRect(control, &client);
    if (client.right <= 0 || client.bottom <= 0) return -1;
    wintest::Surface surface(client.right, client.bottom);
    surface.Fill(0x123456);  // what nothing painted looks like
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
    fw::ScopedBitmap strip(LoadSkinImage(GetModuleHandleW(nullptr), image));
    return wintest::SkinFrameMisses(surface.All(), surface.Width(), at.x, at.y, strip.Get(), frames);
}

LRESULT SendLogin(HWND frame, const std::wstring& text) {
    std::u16string units(text.begin(), text.end());
    units.push_back(u'\0');
    COPYDATASTRUCT data{0, static_cast<DWORD>(units.size() * 2), units.data()};
    return SendMessageW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

std::wstring LoginText(const std::wstring& label) {
    return label + L"||Pauth=tok||ptusertype=1||logingame=7251";
}

class FrameTest : public testing::Test {
protected:
    void SetUp() override {
        // The install step makes the settings folder; here the test does.
        const std::wstring path = SettingsFilePath();
        SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
        AppSettings().Write(settings::kInstallTag, L"1");
        // Today's background update check counts as done: its request would
        // join the ones the tests count.
        AppSettings().Write(settings::kUpdateDay, FormatStoredDate(CWinClock().Today()));
        ASSERT_TRUE(m_frame.Create(IDD_MAIN_FRAME, nullptr));
        m_frame.ShowWindow(SW_SHOW);
        m_loop.Run(200);
        m_server.Clear();
    }
    void TearDown() override {
        m_hang = false;
        if (m_frame.m_hWnd != nullptr) m_frame.DestroyWindow();
    }

    // Logs `label` in with the game page at `path`; returns the frame's answer.
    LRESULT Login(const std::wstring& label, const std::wstring& path = L"/game/play.html") {
        ThePendingGameAddress() = L"http://127.0.0.1:7296" + path;
        const LRESULT result = SendLogin(m_frame.m_hWnd, LoginText(label));
        m_loop.Run(100);
        return result;
    }
    // The page's navigation completes, as the control reports it (Wine's
    // never does).
    void CompleteNavigation(size_t page) {
        EventArgs args;
        args.Dispatch(m_frame.Page(page).Browser());
        args.StringRef(m_frame.Page(page).Address());
        args.Fire(m_frame.Page(page).BrowserEventSink(), 252);
        m_loop.Run(50);
    }
    bool Requested(const std::string& part, size_t count = 1) {
        auto has = [&] {
            const auto targets = m_server.Targets();
            return static_cast<size_t>(std::count_if(targets.begin(), targets.end(), [&](const std::string& t) {
                       return t.find(part) != std::string::npos;
                   })) >= count;
        };
        m_loop.Run(3000, has);
        if (has()) return true;
        for (const std::string& t : m_server.Targets()) ADD_FAILURE() << "seen: " << t;
        return false;
    }
    size_t CountRequests(const std::string& part) {
        const auto targets = m_server.Targets();
        return std::count_if(targets.begin(), targets.end(),
                             [&](const std::string& t) { return t.find(part) != std::string::npos; });
    }
    void Click(POINT client) {
        SendMessageW(m_frame.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        SendMessageW(m_frame.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        m_loop.Run(50);
    }
    RECT WindowRect(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return r;
    }

    // While set, the server takes requests and never answers them, as a
    // statistics host that has hung.
    std::atomic<bool> m_hang{false};
    CWinLoopbackServer m_server{kPort, [this](CWinLoopbackServer::CConn& conn, const std::string& request) {
                                    while (m_hang && !m_server.Stopping()) Sleep(10);
                                    if (!m_hang) AnswerSlowUpdateInfo(conn, request);
                                }};
    CTestFrame m_frame;
    Loop m_loop;
};

TEST_F(FrameTest, ALoginOpensAPageOverThePageArea) {
    EXPECT_EQ(Login(L"12服-一区-abc"), 1);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT frame = WindowRect(m_frame.m_hWnd);
    EXPECT_EQ(frame.right - frame.left, work.right - work.left);
    EXPECT_EQ(frame.bottom - frame.top, work.bottom - work.top);
    EXPECT_TRUE(Requested("/login.htm?tag=FrameT&ver=9.9&uid=abc&index=1"));
    EXPECT_TRUE(Requested("event=305"));
    EXPECT_TRUE(Requested("/game/play.html"));
    EXPECT_EQ(m_frame.AccountText(), L"abc");

    CompleteNavigation(0);
    const RECT page = WindowRect(m_frame.PageWindow(0));
    EXPECT_TRUE(IsWindowVisible(m_frame.PageWindow(0)));
    EXPECT_EQ(page.left, frame.left + 4);
    EXPECT_EQ(page.top, frame.top + 65);
    EXPECT_EQ(page.right, frame.right - 4);
    EXPECT_EQ(page.bottom, frame.bottom - 4);

    // The same label again is refused and sends nothing.
    m_server.Clear();
    EXPECT_EQ(Login(L"12服-一区-abc"), 0);
    m_loop.Run(300);
    EXPECT_EQ(m_server.RequestCount(), 0u);
    EXPECT_EQ(m_frame.PageCount(), 1u);

    // A text that is not what it claims is refused.
    COPYDATASTRUCT bad{0, 5, const_cast<wchar_t*>(L"ab")};
    EXPECT_EQ(SendMessageW(m_frame.m_hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&bad)), 0);
}

// The frame makes its controls only at the first login, and sets them up
// and lays them out for the page face before the page comes.
TEST_F(FrameTest, TheFirstLoginMakesTheControlsAndSetsThemUp) {
    m_frame.DestroyWindow();
    CTestFrame frame;
    ASSERT_TRUE(frame.Create(IDD_MAIN_FRAME, nullptr));
    EXPECT_EQ(GetWindow(frame.m_hWnd, GW_CHILD), nullptr);
    // Titled from the start: another client's hotkey settings reach this
    // one by its title while it shows only its login face.
    wchar_t title[256] = {};
    GetWindowTextW(frame.m_hWnd, title, 256);
    EXPECT_EQ(title, TheCtrlBlock().TitleName());
    HotkeySettings().Write(settings::kAltWndKey, L"4,9");
    EXPECT_GE(BroadcastHotkeyReload(), 1);
    m_loop.Run(100);
    EXPECT_EQ(CurrentHotkeys().windowSwitch.mod, 4);
    HotkeySettings().Write(settings::kAltWndKey, L"2,9");
    LoadHotkeys();

    ThePendingGameAddress() = L"http://127.0.0.1:7296/game/play.html";
    EXPECT_EQ(SendLogin(frame.m_hWnd, LoginText(L"12服-一区-abc")), 1);
    const HWND boss = GetDlgItem(frame.m_hWnd, tabs::id::kBoss);
    ASSERT_NE(boss, nullptr);
    EXPECT_EQ(GetWindowLongW(boss, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    // In the template's order, which is the tab order, the hidden default
    // button last.
    const HWND first = GetWindow(frame.m_hWnd, GW_CHILD);
    EXPECT_EQ(GetDlgCtrlID(first), tabs::id::kBoss);
    const HWND defaultButton = GetDlgItem(frame.m_hWnd, IDOK);
    ASSERT_NE(defaultButton, nullptr);
    EXPECT_FALSE(IsWindowVisible(defaultButton));
    EXPECT_EQ(GetWindowLongW(defaultButton, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageW(boss, WM_GETFONT, 0, 0), SendMessageW(frame.m_hWnd, WM_GETFONT, 0, 0));
    m_loop.Run(300);
    RECT client{}, button = WindowRect(boss);
    GetClientRect(frame.m_hWnd, &client);
    MapWindowPoints(nullptr, frame.m_hWnd, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.left, client.right - 170);
    EXPECT_EQ(button.right - button.left, 53);
    frame.DestroyWindow();
}

// What a player sees of the frame's controls: each one's skin, at its
// layout size, from the first login on and after the frame is resized.
TEST_F(FrameTest, EveryControlShowsItsSkinAfterTheFirstLoginAndAResize) {
    ASSERT_EQ(Login(L"12服-一区-abc"), 1);
    for (const char* when : {"after the first login", "after a resize"}) {
        for (const wintest::ControlSkin& c : wintest::kFrameControlSkins) {
            const HWND control = m_frame.GetDlgItem(c.id);
            ASSERT_NE(control, nullptr) << c.id;
            EXPECT_TRUE(IsWindowVisible(control)) << c.id << " " << when;
            EXPECT_EQ(SkinMisses(control, c.image, c.frames, {c.x, c.y}), 0) << c.id << " " << when;
        }
        m_frame.MoveWindow(40, 30, 900, 600);
        m_loop.Run(100);
    }
}

TEST_F(FrameTest, AFourthPageIsRefusedAndTabsCloseByTheirButton) {
    ASSERT_EQ(Login(L"12服-一区-a"), 1);
    ASSERT_EQ(Login(L"13服-二区-b"), 1);
    ASSERT_EQ(Login(L"no server-c"), 1);
    EXPECT_EQ(m_frame.CurrentPage(), 2);
    // Two presses of "+" within 1.5 s ask once.
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(tabs::id::kNewPage, BN_CLICKED), 0);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(tabs::id::kNewPage, BN_CLICKED), 0);
    m_loop.Run(100);
    ASSERT_EQ(m_frame.asked.size(), 1u);
    EXPECT_EQ(m_frame.asked[0], L"登录器只支持3个游戏页");

    // A press on tab 0 makes it current; the web buttons then act for its account.
    Click({200, 15});
    EXPECT_EQ(m_frame.CurrentPage(), 0);
    EXPECT_EQ(m_frame.AccountText(), L"a");
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(tabs::id::kNoviceCard, BN_CLICKED), 0);
    ASSERT_EQ(m_frame.opened.size(), 1u);
    EXPECT_EQ(m_frame.opened[0],
              L"http://127.0.0.1:7296/user/?_c=hallClient&_a=autoLogin&pauth=tok&url=http%3A%2F%2F127%2E0%2E0%2E1%3A7296"
              L"%2F7251%2Fxsk%2F&ptusertype=1&type=4&game=");
    // A click on its close button closes it.
    m_server.Clear();
    const tabs::Rect close = tabs::CloseButtonRect(0);
    Click({close.left + 5, close.top + 5});
    EXPECT_EQ(m_frame.PageCount(), 2u);
    EXPECT_TRUE(Requested("/d.php?a=web.online&game=7251&server=S12&length="));
    EXPECT_TRUE(Requested("event=306"));
    EXPECT_EQ(m_frame.PageTitle(0), L"13服-二区-b");

    // The caption's close with pages open closes them all, with their beacons.
    m_server.Clear();
    SendMessageW(m_frame.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    m_loop.Run(100);
    EXPECT_EQ(m_frame.PageCount(), 0u);
    EXPECT_TRUE(Requested("server=S13&", 1));
    EXPECT_TRUE(Requested("server=S&length", 1));
    EXPECT_EQ(CountRequests("event=306"), 2u);
    const RECT shrunk = WindowRect(m_frame.m_hWnd);
    EXPECT_EQ(shrunk.right - shrunk.left, 2);
    EXPECT_EQ(shrunk.bottom - shrunk.top, 1);
    EXPECT_TRUE(m_frame.LoginBackground().IsWindowVisible());
    EXPECT_EQ(TheOpenPageCount(), 0);
    EXPECT_FALSE(m_loop.quit);

    // Reopened, the frame covers the work area again.
    ASSERT_EQ(Login(L"12服-一区-a"), 1);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(WindowRect(m_frame.m_hWnd).right - WindowRect(m_frame.m_hWnd).left, work.right - work.left);
}

TEST_F(FrameTest, ClosingTheLastTabReturnsToTheLoginFace) {
    ASSERT_EQ(Login(L"12服-一区-a"), 1);
    const tabs::Rect close = tabs::CloseButtonRect(0);
    Click({close.left + 5, close.top + 5});
    EXPECT_EQ(m_frame.PageCount(), 0u);
    const RECT shrunk = WindowRect(m_frame.m_hWnd);
    EXPECT_EQ(shrunk.right - shrunk.left, 2);
    EXPECT_EQ(shrunk.bottom - shrunk.top, 1);
    EXPECT_TRUE(Requested("server=S12&"));
}

// The frame keeps its picture between paints; every change of what the
// caption band shows must draw it again.
TEST_F(FrameTest, TheCaptionBandRepaintsAfterEveryChange) {
    ASSERT_EQ(Login(L"12服-一区-a"), 1);
    RECT client{};
    m_frame.GetClientRect(&client);
    const int width = client.right, band = 30;
    auto paint = [&] {
        wintest::Surface surface(width, band);
        EXPECT_TRUE(m_frame.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.Dc())));
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < band; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(surface.At(x, y));
        return pixels;
    };
    // The mouse must be there too: leave tracking ends a hover at once otherwise.
    auto hover = [&](POINT at) {
        m_frame.ClientToScreen(&at);
        SetCursorPos(at.x, at.y);
        m_frame.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    };
    const tabs::Rect close = tabs::CloseButtonRect(0);
    struct Step {
        const char* what;
        std::function<void()> change;
    } const steps[] = {
        {"a second tab", [&] { Login(L"13服-二区-b"); }},
        {"another current tab", [&] { Click({200, 15}); }},
        {"a hovered tab", [&] { hover({400, 15}); }},
        {"another hovered tab", [&] { hover({200, 15}); }},
        {"a hovered close button", [&] { hover({close.left + 5, close.top + 5}); }},
        {"no hovered tab", [&] { hover({10, 100}); }},
        {"a new title", [&] { m_frame.SetWindowText(L"另一个标题"); }},
        {"a closed tab", [&] { Click({close.left + 5, close.top + 5}); }},
    };
    std::vector<std::uint32_t> before = paint();
    EXPECT_EQ(paint(), before);  // nothing changed, the same picture
    for (const Step& step : steps) {
        step.change();
        const std::vector<std::uint32_t> after = paint();
        EXPECT_NE(after, before) << step.what;
        before = after;
    }
}

TEST_F(FrameTest, KeysReachTheCurrentPageOrTheSwitchOrNothing) {
    ASSERT_EQ(Login(L"12服-一区-a"), 1);
    ASSERT_EQ(Login(L"13服-二区-b"), 1);
    CompleteNavigation(1);
    const HWND page = m_frame.PageWindow(1);
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool forwarded;
    } cases[] = {
        {WM_KEYDOWN, VK_F5, 1, true},
        {WM_CHAR, 4, 0x200001, true},
        {WM_CHAR, 4, 0x1F0001, false},  // Ctrl+D only by its scan code
        {WM_KEYDOWN, VK_SPACE, 1, false},
        {WM_KEYDOWN, VK_ESCAPE, 1, false},
    };
    for (const Case& c : cases) {
        MSG msg{m_frame.m_hWnd, c.message, c.wParam, c.lParam, 0, {}};
        const BOOL consumed = m_frame.PreTranslateMessage(&msg);
        MSG got{};
        const bool forwarded = PeekMessageW(&got, page, c.message, c.message, PM_REMOVE) != FALSE;
        EXPECT_EQ(forwarded, c.forwarded) << c.message << "/" << c.wParam;
        if (forwarded) {
            EXPECT_EQ(got.lParam, c.lParam);
        }
        if (c.wParam == VK_SPACE || c.wParam == VK_ESCAPE) {
            EXPECT_TRUE(consumed) << c.wParam;
        }
    }

    // Ctrl+Tab, the stored window-switch key, cycles the pages.
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    for (int expected : {0, 1, 0}) {
        MSG msg{m_frame.m_hWnd, WM_KEYDOWN, VK_TAB, 1, 0, {}};
        EXPECT_TRUE(m_frame.PreTranslateMessage(&msg));
        EXPECT_EQ(m_frame.CurrentPage(), expected);
    }
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

TEST_F(FrameTest, TheBossButtonHidesAndRestoresAndTheSoundButtonMutes) {
    ASSERT_EQ(Login(L"12服-一区-a"), 1);
    CompleteNavigation(0);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(tabs::id::kBoss, BN_CLICKED), 0);
    EXPECT_FALSE(m_frame.IsWindowVisible());
    EXPECT_FALSE(IsWindowVisible(m_frame.PageWindow(0)));
    // A navigation that completes while the frame is hidden leaves the page hidden.
    CompleteNavigation(0);
    EXPECT_FALSE(IsWindowVisible(m_frame.PageWindow(0)));
    SendMessageW(m_frame.m_hWnd, kMsgTrayIcon, 1, WM_LBUTTONUP);
    EXPECT_TRUE(m_frame.IsWindowVisible());
    EXPECT_TRUE(IsWindowVisible(m_frame.PageWindow(0)));

    // The boss key leaves nothing of the client on the screen, the
    // screenshot tool's topmost dimmed capture included.
    auto shotShown = [] {
        bool shown = false;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM lp) -> BOOL {
                const LONG ex = GetWindowLongW(window, GWL_EXSTYLE);
                if (IsWindowVisible(window) && (ex & WS_EX_TOPMOST) && (ex & WS_EX_TOOLWINDOW))
                    *reinterpret_cast<bool*>(lp) = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&shown));
        return shown;
    };
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(tabs::id::kScreenshot, BN_CLICKED), 0);
    m_loop.Run(100);
    ASSERT_TRUE(shotShown());
    m_frame.ToggleHide();
    m_loop.Run(100);
    EXPECT_FALSE(m_frame.IsWindowVisible());
    EXPECT_FALSE(shotShown());
    m_frame.ToggleHide();

    const HWND sound = m_frame.GetDlgItem(tabs::id::kSound);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(tabs::id::kSound, BN_CLICKED), 0);
    EXPECT_TRUE(m_frame.IsMuted());
    EXPECT_EQ(SkinMisses(sound, IDP_SOUND_ON, 4), 0);
    SendMessageW(m_frame.m_hWnd, WM_TIMER, kTimerMute, 0);
    EXPECT_EQ(SkinMisses(sound, IDP_SOUND_OFF, 4), 0);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(tabs::id::kSound, BN_CLICKED), 0);
    SendMessageW(m_frame.m_hWnd, WM_TIMER, kTimerMute, 0);
    EXPECT_EQ(SkinMisses(sound, IDP_SOUND_ON, 4), 0);
}

// The restore repaints the current page's document and the game's Flash
// window inside it. Wine's browser stops short of a document window: the
// test makes the levels it lacks where the control makes them.
TEST_F(FrameTest, ARestoreRepaintsThePagesDocumentAndFlash) {
    ASSERT_EQ(Login(L"12服-一区-a"), 1);
    CompleteNavigation(0);
    ASSERT_NE(FindWindowExW(m_frame.PageWindow(0), nullptr, L"Shell Embedding", nullptr), nullptr);
    HWND window = m_frame.PageWindow(0);
    std::vector<HWND> made;
    for (const wchar_t* name :
         {L"Shell Embedding", L"Shell DocObject View", L"Internet Explorer_Server", L"MacromediaFlashPlayerActiveX"}) {
        HWND child = FindWindowExW(window, nullptr, name, nullptr);
        if (child == nullptr) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = name;
            RegisterClassW(&wc);
            child = CreateWindowExW(0, name, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, window, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
            ASSERT_NE(child, nullptr);
            made.push_back(child);
        }
        window = child;
    }
    const HWND flash = window, server = GetParent(flash);
    m_loop.Run(50);
    ValidateRect(server, nullptr);
    ValidateRect(flash, nullptr);
    SendMessageW(m_frame.m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(GetUpdateRect(server, nullptr, FALSE));
    EXPECT_TRUE(GetUpdateRect(flash, nullptr, FALSE));
    if (!made.empty()) DestroyWindow(made.front());
}

// The frame's questions stand over what the user looks at: the login window
// while it shows (the frame is then a pixel in the corner, and the login
// window is topmost), else the frame.
TEST_F(FrameTest, QuestionsOpenOverTheLoginWindowOrTheFrame) {
    m_frame.realBoxes = true;
    const HWND loginWindow = m_frame.LoginBackground().m_hWnd;
    const HWND loginPage = m_frame.LoginBackground().LoginPage().m_hWnd;
    const auto place = [&] { return wintest::WatchBox([&] { m_frame.Ask(L"缓存清除完毕！"); }); };
    const wintest::BoxPlace atFace = place();
    ASSERT_TRUE(atFace.found);
    EXPECT_TRUE(atFace.owner == loginPage || atFace.owner == loginWindow);
    EXPECT_TRUE(atFace.InsideWork());
    EXPECT_TRUE(atFace.aboveOwner);
    EXPECT_TRUE(atFace.topmost);
    EXPECT_FALSE(atFace.ownerEnabled);
    RECT login{};
    GetWindowRect(loginWindow, &login);
    EXPECT_NEAR((atFace.rect.left + atFace.rect.right) / 2, (login.left + login.right) / 2, 1);
    EXPECT_TRUE(IsWindowEnabled(atFace.owner));

    ASSERT_EQ(Login(L"12服-一区-a"), 1);
    CompleteNavigation(0);
    // As the login page does once the frame took its login.
    m_frame.LoginBackground().ShowWindow(SW_HIDE);
    const wintest::BoxPlace overFrame = place();
    ASSERT_TRUE(overFrame.found);
    EXPECT_EQ(overFrame.owner, m_frame.m_hWnd);
    EXPECT_TRUE(overFrame.InsideWork());
    EXPECT_TRUE(overFrame.aboveOwner);
    EXPECT_FALSE(overFrame.ownerEnabled);
    EXPECT_TRUE(m_frame.IsWindowEnabled());
}

TEST_F(FrameTest, RunningTimeStopsAtFifteenAndTheExitRestoresTheInstallTag) {
    for (int i = 0; i < 20; ++i) SendMessageW(m_frame.m_hWnd, WM_TIMER, kTimerRunningTime, 0);
    EXPECT_EQ(AppSettings().Read(settings::kRunningTime), L"15");

    AppSettings().Write(settings::kInstallTag, L"0");
    PostMessageW(m_frame.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, kLoginCloseMarker);
    m_loop.Run(300, [&] { return m_loop.quit; });
    EXPECT_TRUE(m_loop.quit);
    EXPECT_EQ(m_loop.code, 0u);
    EXPECT_EQ(AppSettings().Read(settings::kInstallTag), L"1");
}

// Closing every page and leaving send a beacon for each page; with the
// statistics host hung they are left waiting on it, never the window: the
// frame answers another thread while they are still outstanding.
TEST_F(FrameTest, HungBeaconsOfEveryPageLeaveTheFrameAnswering) {
    struct Case {
        const char* name;
        void (CCorvane3Dlg::*close)();
    } const cases[] = {{"close all", &CCorvane3Dlg::CloseAllPages}, {"exit", &CCorvane3Dlg::ExitClient}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_hang = false;
        ASSERT_EQ(Login(L"12服-一区-a"), 1);
        ASSERT_EQ(Login(L"13服-二区-b"), 1);
        m_server.Clear();
        m_hang = true;
        std::atomic<bool> answered{false}, done{false};
        std::thread other([&] {
            // Both pages' online-time beacons are out and unanswered.
            if (m_server.WaitForRequests(2, 5000)) {
                DWORD_PTR result = 0;
                answered = SendMessageTimeoutW(m_frame.m_hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result) != 0;
            }
            done = true;
        });
        (m_frame.*c.close)();
        m_loop.Run(10000, [&] { return done.load(); });
        other.join();
        EXPECT_TRUE(answered);
        EXPECT_TRUE(Requested("/d.php?a=web.online", 2));
        if (c.close == &CCorvane3Dlg::CloseAllPages) EXPECT_TRUE(Requested("event=306", 2));
        EXPECT_EQ(m_frame.PageCount(), c.close == &CCorvane3Dlg::CloseAllPages ? 0u : 2u);
    }
}

}  // namespace

TEST_F(FrameTest, TheUpdateItemAsksThePortalWithoutHoldingTheWindow) {
    ASSERT_EQ(Login(L"a"), 1);
    m_frame.menuChoice = 4;  // "更新"
    const DWORD start = GetTickCount();
    m_frame.SendMessage(WM_COMMAND, tabs::id::kToolMenu, 0);
    EXPECT_LT(GetTickCount() - start, 500u) << "the window does not wait for the portal";
    EXPECT_TRUE(m_frame.asked.empty());
    m_loop.Run(10000, [&] { return !m_frame.asked.empty(); });
    EXPECT_EQ(m_frame.asked, std::vector<std::wstring>{L"已经是最新版本，无需进行更新。"});
    EXPECT_TRUE(Requested("/webStatic/index.php?_c=client&_a=getUpdateInfo&game="));
}
