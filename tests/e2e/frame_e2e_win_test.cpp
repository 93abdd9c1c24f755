#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "app/settings_store_win.h"
#include "browser/tab_strip.h"
#include "tests/e2e/frame_driver_win.h"
#include "tests/e2e/client_run_win.h"
#include "tests/win/loopback_server_win.h"

// The main frame as the game hall and the login page drive it from other
// processes: hall switches on the command line, logins as WM_COPYDATA, the
// user's clicks as the window messages they produce. Wine renders no page,
// so a game page is seen by the request its browser sends.

namespace {

constexpr wchar_t kSection[] = L"E2eFrame";

std::wstring InstallFolder() { return CommonAppDataFolder() + L"\\7251\\GameLogin"; }

std::wstring LoginText(const std::wstring& label) { return LoginTextFor(label, L"tok" + label.substr(0, 1)); }

// A top-level window of this process standing in for the game hall.
class CHallWindow {
public:
    CHallWindow() {
        m_window = CreateWindowExW(0, L"STATIC", L"hall", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                   nullptr);
    }
    ~CHallWindow() { DestroyWindow(m_window); }
    HWND Handle() const { return m_window; }
    // The switch argument: one character the client skips, then the handle.
    std::wstring Argument() const { return L"x" + std::to_wstring(reinterpret_cast<intptr_t>(m_window)); }

private:
    HWND m_window = nullptr;
};

class FrameEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_image.Loaded());
        SHCreateDirectoryExW(nullptr, InstallFolder().c_str(), nullptr);
        m_client = InstallFolder() + L"\\E2eFrame.exe";
        const std::string host = m_server.HostPort();
        SlotValues slots = LoopbackSlots(host, Narrow(kSection));
        slots.push_back({"OnlineStatHost", host});
        slots.push_back({"LoginPageUrl", "http://" + host + "/doln/reg.html?"});
        ASSERT_TRUE(m_image.Write(m_client, slots));
    }
    void TearDown() override {
        DeleteFileW(m_client.c_str());
        WritePrivateProfileStringW(kSection, nullptr, nullptr, SettingsFilePath().c_str());
    }

    size_t Seen(const std::string& part) {
        const auto targets = m_server.Targets();
        return static_cast<size_t>(std::count_if(targets.begin(), targets.end(), [&](const std::string& target) {
            return target.find(part) != std::string::npos;
        }));
    }
    bool WaitSeen(const std::string& part, size_t count) {
        return PumpUntil(10000, [&] { return Seen(part) >= count; });
    }

    // Presses Ctrl+D in `page`, closes the favourites dialog that comes up,
    // as its cancel button would, and returns that dialog's owner.
    static HWND FavouritesOwner(DWORD pid, HWND page) {
        PostMessageW(page, WM_CHAR, 4, 0x00200001);  // Ctrl+D, the D key's scan code
        HWND favourites = nullptr;
        PumpUntil(5000, [&] {
            favourites = FindWindowOfProcess(pid, [](HWND w) { return IsWindowVisible(w) && GetDlgItem(w, IDOK); });
            return favourites != nullptr && !IsMainFrame(favourites);
        });
        if (favourites == nullptr || IsMainFrame(favourites)) return nullptr;
        const HWND owner = GetWindow(favourites, GW_OWNER);
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(favourites, WM_COMMAND, IDCANCEL, 0, SMTO_ABORTIFHUNG, 3000, &answer);
        PumpUntil(3000, [&] { return !IsWindow(favourites); });
        return owner;
    }

    CClientImage m_image;
    CWinLoopbackServer m_server;
    std::wstring m_client;
};

TEST_F(FrameEndToEnd, NewGameStartOpensTheHallsGameInUpToThreeTabs) {
    CHallWindow hall;
    const std::string game = "/game/play.html?s=1";
    const std::wstring args = L"/newgm " + hall.Argument() + L" " + m_server.Url(game);
    const RunResult run = RunClient(m_client, args, AtLoginFace([&](HWND frame, DWORD pid) {
        for (const wchar_t* label : {L"1服-甲", L"2服-乙", L"3服-丙"}) {
            EXPECT_EQ(SendLoginText(frame, LoginText(label)), 1);
        }
        EXPECT_EQ(SendLoginText(frame, LoginText(L"2服-乙")), 0) << "a label already open";
        EXPECT_EQ(SendLoginText(frame, LoginText(L"4服-丁")), 0) << "a fourth page";
        // Each page asks for the hall's game address.
        EXPECT_TRUE(WaitSeen(game, 3));
        ASSERT_TRUE(PumpUntil(5000, [&] { return GamePages(frame).size() == 3; }));
        // A new page shows once its navigation completes, which Wine's
        // browser never reports; a press on its tab shows it.
        const std::vector<HWND> pages = GamePages(frame);

        PressTab(frame, 0);
        EXPECT_TRUE(PumpUntil(3000, [&] { return VisiblePage(frame) == pages[0]; }));

        // The boss button hides the frame with its pages; a click on the
        // tray icon brings them back.
        ClickButton(frame, tabs::id::kBoss);
        EXPECT_TRUE(PumpUntil(3000, [&] { return !IsWindowVisible(frame) && VisiblePage(frame) == nullptr; }));
        PostMessageW(frame, WM_USER + 1, 1, WM_LBUTTONUP);
        // Wine without a window manager takes a few seconds to map a window
        // again that it has unmapped.
        EXPECT_TRUE(PumpUntil(15000, [&] { return IsWindowVisible(frame) && VisiblePage(frame) == pages[0]; }));

        // Ctrl+D in a page asks for a favourite above the hall window.
        EXPECT_EQ(FavouritesOwner(pid, pages[0]), hall.Handle());


        EXPECT_TRUE(ChooseLastTrayItem(frame, pid)) << "the tray menu's exit";
        // Three pages hidden without a window manager cost seconds each.
        EXPECT_TRUE(PumpUntil(20000, [&] { return !IsWindow(frame); }));
    }));
    EXPECT_TRUE(run.sawLoginFace);
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Seen("/login.htm?"), 3u);
    // Leaving sends each page's online time, the server from the label.
    for (const char* server : {"&server=S1&", "&server=S2&", "&server=S3&"}) {
        EXPECT_EQ(Seen(std::string("/d.php?a=web.online&game=7251") + server), 1u) << server;
    }
}

// Only the hall switches name a hall window; the hall's page without a game
// address asks for none.
TEST_F(FrameEndToEnd, HallAndUpdateStartsOwnTheFavouritesAsTheyShould) {
    CHallWindow hall;
    for (const bool fromHall : {true, false}) {
        SCOPED_TRACE(fromHall ? "/gmhall" : "/update");
        m_server.Clear();
        HWND owner = nullptr;
        HWND frameSeen = nullptr;
        RunClient(m_client, fromHall ? L"/gmhall " + hall.Argument() : L"/update",
                  AtLoginFace([&](HWND frame, DWORD pid) {
                      frameSeen = frame;
                      // Two pages: a press on the first tab shows it (a page
                      // shows itself once its navigation completes, which
                      // never happens under Wine).
                      ASSERT_EQ(SendLoginText(frame, LoginText(L"1服-甲")), 1);
                      ASSERT_EQ(SendLoginText(frame, LoginText(L"2服-乙")), 1);
                      ASSERT_TRUE(PumpUntil(5000, [&] { return GamePages(frame).size() == 2; }));
                      PressTab(frame, 0);
                      ASSERT_TRUE(PumpUntil(3000, [&] { return VisiblePage(frame) != nullptr; }));
                      owner = FavouritesOwner(pid, VisiblePage(frame));
                      ChooseLastTrayItem(frame, pid);
                      PumpUntil(10000, [&] { return !IsWindow(frame); });
                  }));
        EXPECT_EQ(owner, fromHall ? hall.Handle() : frameSeen);
        EXPECT_EQ(Seen("/game/"), 0u);
        EXPECT_EQ(Seen("/login.htm?"), 2u);
    }
}

}  // namespace
