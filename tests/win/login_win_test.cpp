// The login page's bridge and the login windows with the real WebBrowser
// control under Wine. The program is labelled with a login page, portal and
// partner host on 127.0.0.1:7298, where nothing listens: navigations there
// fail, but the control still reports them as the frame's address.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include "app/autostart_win.h"
#include "app/ini_win.h"
#include "app/process_state.h"
#include "app/settings_store_win.h"
#include "fw/browser_site_win.h"
#include "login/login_bk_dlg_win.h"
#include "login/login_dlg_win.h"
#include "login/qq_login_win.h"
#include "res/resource.h"
#include "tests/win/box_watch_win.h"
#include "tests/win/fake_dispatch_win.h"

namespace {

using Microsoft::WRL::ComPtr;
using wintest::EventArgs;
using wintest::FakeDispatch;
using wintest::Pump;

constexpr wchar_t kLoginPage[] = L"http://127.0.0.1:7298/doln/reg.html?a=1&";
constexpr wchar_t kPortal[] = L"http://127.0.0.1:7298/";
constexpr wchar_t kSection[] = L"WinLoginTest";

// The main frame as the login page sees it: the owner of its owner.
class TestFrame : public CWnd {
public:
    TestFrame() { CreateEx(0, nullptr, L"frame", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0); }
    std::vector<std::wstring> texts;
    std::vector<LPARAM> closeRequests;
    LRESULT answer = 1;

protected:
    DECLARE_MESSAGE_MAP()
    BOOL OnCopyData(HWND, COPYDATASTRUCT* data) {
        texts.emplace_back(static_cast<const wchar_t*>(data->lpData), data->cbData / 2 - 1);
        return static_cast<BOOL>(answer);
    }
    LRESULT OnSysCommand(WPARAM wp, LPARAM lp) {
        if (wp == SC_CLOSE) closeRequests.push_back(lp);
        return 0;
    }
};

BEGIN_MESSAGE_MAP(TestFrame, CWnd)
    ON_WM_COPYDATA()
    ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
END_MESSAGE_MAP()

class TestLoginDlg : public CLoginDlg {
public:
    TestLoginDlg() : CLoginDlg(kLoginPage) { document->SetObject(L"Script", script.Get()); }
    ComPtr<IDispatch> GetPageDocument() override { return document; }
    ComPtr<FakeDispatch> document = FakeDispatch::Make();
    ComPtr<FakeDispatch> script = FakeDispatch::Make();
};

std::wstring Setting(const wchar_t* key) { return TheSettingsStore().Read(kSection, key, L"<absent>", 2048); }

class LoginBridge : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AfxEnableControlContainer());
        // A fresh prefix has no settings folder until an install makes it.
        const std::wstring settingsFile = SettingsFilePath();
        SHCreateDirectoryExW(nullptr, settingsFile.substr(0, settingsFile.rfind(L'\\')).c_str(), nullptr);
        WritePrivateProfileStringW(kSection, nullptr, nullptr, settingsFile.c_str());
        ASSERT_TRUE(m_background.Create(IDD_EMPTY_POPUP, &m_frame));
        ASSERT_TRUE(m_login.Create(IDD_EMPTY_POPUP, &m_background));
        m_background.ShowWindow(SW_SHOW);
        Pump(300);
    }
    void TearDown() override {
        m_login.DestroyWindow();
        m_background.DestroyWindow();
        WritePrivateProfileStringW(kSection, nullptr, nullptr, SettingsFilePath().c_str());
    }

    // The page navigates; the real control raises BeforeNavigate2.
    void PageGoesTo(const std::wstring& url) {
        m_login.Navigate(url);
        Pump(150);
    }
    std::vector<std::wstring> AnswersTo(const wchar_t* function) const {
        std::vector<std::wstring> answers;
        for (const auto& call : m_login.script->calls) {
            if (call.name == function && call.args.size() == 1) answers.push_back(call.args[0]);
        }
        return answers;
    }

    TestFrame m_frame;
    CDialog m_background{IDD_EMPTY_POPUP};
    TestLoginDlg m_login;
};

TEST_F(LoginBridge, SettingsCommandsStoreAndAnswerThroughThePage) {
    PageGoesTo(L"app://saveinfo?????reg-value");
    PageGoesTo(L"app://setupkey?????the key");
    EXPECT_EQ(Setting(L"RegUrl"), L"reg-value");
    EXPECT_EQ(Setting(L"Key"), L"the key");
    PageGoesTo(L"app://readinfo");
    PageGoesTo(L"app://read_key");
    PageGoesTo(L"app://loginnum");
    PageGoesTo(L"app://loginnum");
    EXPECT_EQ(AnswersTo(L"postdataurl"), std::vector<std::wstring>{L"reg-value"});
    EXPECT_EQ(AnswersTo(L"getthekey"), std::vector<std::wstring>{L"the key"});
    EXPECT_EQ(AnswersTo(L"getlogin"), (std::vector<std::wstring>{L"1", L"2"}));
    EXPECT_EQ(Setting(L"LoginCount"), L"2");
}

TEST_F(LoginBridge, AutostartCommandsSetAndClearTheRunValue) {
    PageGoesTo(L"app://autorun1");
    EXPECT_TRUE(IsAutostartSet(kSection));
    PageGoesTo(L"app://autorun0");
    EXPECT_FALSE(IsAutostartSet(kSection));
}

TEST_F(LoginBridge, AForeignPageCannotDriveTheClient) {
    PageGoesTo(L"http://127.0.0.2:7298/elsewhere.html");
    PageGoesTo(L"app://saveinfo?????evil");
    PageGoesTo(L"app://autorun1");
    PageGoesTo(L"app://loginnum");
    EXPECT_EQ(Setting(L"RegUrl"), L"<absent>");
    EXPECT_FALSE(IsAutostartSet(kSection));
    EXPECT_TRUE(m_login.script->calls.empty());
    // Back on the operator's page the bridge works again.
    PageGoesTo(kLoginPage);
    PageGoesTo(L"app://saveinfo?????ok");
    EXPECT_EQ(Setting(L"RegUrl"), L"ok");
}

// Which frame navigates comes from the event's browser object. Wine's pages
// have no frames, so a second browser stands in for an embedded one.
TEST_F(LoginBridge, EmbeddedFramesStayTheOperatorsAndCommandOnlyUnderTheOperatorsPage) {
    CDHtmlDialog frame{IDD_EMPTY_POPUP};
    ASSERT_TRUE(frame.Create(IDD_EMPTY_POPUP, nullptr));
    frame.Navigate(L"http://127.0.0.1:7298/doln/frame.html");
    Pump(150);
    const auto cancelled = [&](CDHtmlDialog& window, const std::wstring& target) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        EventArgs args;
        args.Dispatch(frame.Browser());
        args.StringRef(target);
        for (int i = 0; i < 4; ++i) args.Empty();
        args.BoolRef(&cancel);
        args.Fire(window.BrowserEventSink(), 250);
        return cancel == VARIANT_TRUE;
    };
    EXPECT_TRUE(cancelled(m_login, L"http://127.0.0.2:7298/ad.html"));
    EXPECT_FALSE(cancelled(m_login, L"http://127.0.0.1:7298/doln/other.html"));
    EXPECT_TRUE(cancelled(m_login, L"app://saveinfo?????framed"));
    EXPECT_EQ(Setting(L"RegUrl"), L"framed");

    PageGoesTo(L"http://127.0.0.1:7298/weibo/redirectToAuthorize.do?params=4");
    ASSERT_NE(m_login.PartnerLogin(), nullptr);
    CQQHtml& partnerPage = m_login.PartnerLogin()->Page();
    EXPECT_TRUE(cancelled(partnerPage, L"http://127.0.0.2:7298/ad.html"));
    EXPECT_FALSE(cancelled(partnerPage, L"http://127.0.0.1:7298/weibo/extLoginBind.do"));

    // A frame that a redirect took elsewhere is sent to a blank page.
    for (CDHtmlDialog* window : {static_cast<CDHtmlDialog*>(&m_login), static_cast<CDHtmlDialog*>(&partnerPage)}) {
        frame.Navigate(L"http://127.0.0.1:7298/doln/frame.html");
        Pump(150);
        EventArgs completed;
        completed.Dispatch(frame.Browser());
        completed.StringRef(L"http://127.0.0.2:7298/landed.html");
        completed.Fire(window->BrowserEventSink(), 252);
        Pump(150);
        EXPECT_EQ(BrowserLocation(frame.Browser()), L"about:blank");
    }

    // Under a foreign top page the operator's frame commands nothing.
    PageGoesTo(L"http://127.0.0.2:7298/elsewhere.html");
    EXPECT_TRUE(cancelled(m_login, L"app://saveinfo?????evil"));
    EXPECT_EQ(Setting(L"RegUrl"), L"framed");
    frame.DestroyWindow();
}

TEST_F(LoginBridge, LoadGameSendsTheLoginTextToTheMainFrameAndHidesTheLoginWindow) {
    ASSERT_TRUE(InternetSetCookieW(kPortal, L"Pauth", L"tok123"));
    ASSERT_TRUE(InternetSetCookieW(kPortal, L"ptusertype", L"1"));
    // The label "S12服-《乙》一区双线-abc", percent-encoded UTF-8 as the page sends it.
    PageGoesTo(L"app://loadgame?S12%E6%9C%8D-%E3%80%8A%E4%B9%99%E3%80%8B%E4%B8%80%E5%8C%BA%E5%8F%8C%E7%BA%BF-abc"
               L"|http://127.0.0.1:7298/game.html?sid=12&logingame=xyz");
    ASSERT_EQ(m_frame.texts.size(), 1u);
    EXPECT_EQ(m_frame.texts[0], L"12服-一区双线-abc||Pauth=tok123||ptusertype=1||logingame=xyz");
    EXPECT_EQ(ThePendingGameAddress(), L"http://127.0.0.1:7298/game.html?sid=12");
    EXPECT_FALSE(m_background.IsWindowVisible());
    EXPECT_FALSE(m_login.IsWindowVisible());
}

// The notice stands over the topmost login window the user looks at, not
// over the main frame, which is a pixel in the corner at the first login.
TEST_F(LoginBridge, ARefusedLoginsNoticeStandsOverTheLoginWindow) {
    ASSERT_TRUE(InternetSetCookieW(kPortal, L"Pauth", L"tok123"));
    ASSERT_TRUE(InternetSetCookieW(kPortal, L"ptusertype", L"1"));
    m_frame.answer = 0;
    m_background.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const wintest::BoxPlace place =
        wintest::WatchBox([&] { PageGoesTo(L"app://loadgame?12服-一区-abc|http://127.0.0.1:7298/game.html"); });
    ASSERT_TRUE(place.found);
    EXPECT_TRUE(place.owner == m_login.m_hWnd || place.owner == m_background.m_hWnd);
    EXPECT_TRUE(place.InsideWork());
    EXPECT_TRUE(place.aboveOwner);
    EXPECT_FALSE(place.ownerEnabled);
    Pump(100);
    EXPECT_EQ(m_frame.closeRequests.size(), 1u);
}

// A long token among more cookies than a first read holds still logs in,
// whole; one the login text cannot carry goes out empty, as an unreadable
// one would, and the login still goes ahead.
TEST_F(LoginBridge, LongCookiesAreReadWholeOrSentEmpty) {
    for (int i = 0; i < 24; ++i) {
        const std::wstring name = L"filler" + std::to_wstring(i);
        ASSERT_TRUE(InternetSetCookieW(kPortal, name.c_str(), std::wstring(1000, L'f').c_str()));
    }
    const std::wstring longToken(300, L'p');
    ASSERT_TRUE(InternetSetCookieW(kPortal, L"Pauth", longToken.c_str()));
    ASSERT_TRUE(InternetSetCookieW(kPortal, L"ptusertype", L"1"));
    PageGoesTo(L"app://loadgame?12服-a-b|http://127.0.0.1:7298/game.html");
    ASSERT_EQ(m_frame.texts.size(), 1u);
    EXPECT_EQ(m_frame.texts[0], L"12服-a-b||Pauth=" + longToken + L"||ptusertype=1||logingame=7251");
    EXPECT_FALSE(m_background.IsWindowVisible());

    m_background.ShowWindow(SW_SHOW);
    ASSERT_TRUE(InternetSetCookieW(kPortal, L"Pauth", std::wstring(9000, L'p').c_str()));
    PageGoesTo(L"app://loadgame?12服-a-c|http://127.0.0.1:7298/game.html");
    ASSERT_EQ(m_frame.texts.size(), 2u);
    EXPECT_EQ(m_frame.texts[1], L"12服-a-c||||ptusertype=1||logingame=7251");
    for (int i = 0; i < 24; ++i) {
        const std::wstring name = L"filler" + std::to_wstring(i);
        InternetSetCookieW(kPortal, name.c_str(), L"x; expires=Thu, 01 Jan 1970 00:00:00 GMT");
    }
}

TEST_F(LoginBridge, PartnerStartsOpenOneFrameAndANewStartReplacesIt) {
    PageGoesTo(L"http://127.0.0.1:7298/qzone/redirectToAuthorize.do?params=1");
    CQQLogin* first = m_login.PartnerLogin();
    ASSERT_NE(first, nullptr);
    const HWND firstWindow = first->m_hWnd;
    EXPECT_TRUE(IsWindowVisible(firstWindow));
    EXPECT_EQ(first->GetWindowText(), L"QQ账号安全登录");
    EXPECT_TRUE(first->Page().IsWindowVisible()) << "showing the frame shows its page";

    PageGoesTo(L"http://127.0.0.1:7298/weibo/redirectToAuthorize.do?params=2");
    EXPECT_FALSE(IsWindow(firstWindow));
    ASSERT_NE(m_login.PartnerLogin(), nullptr);
    EXPECT_EQ(m_login.PartnerLogin()->GetWindowText(), L"新浪微博账号安全登录");
}

TEST_F(LoginBridge, ACompletedPartnerLoginHidesTheFrameAndAsksThePageToCheck) {
    PageGoesTo(L"http://127.0.0.1:7298/weixin/redirectToAuthorize.do?params=3");
    CQQLogin* partner = m_login.PartnerLogin();
    ASSERT_NE(partner, nullptr);
    const std::wstring callback = L"http://127.0.0.1:7298/weixin/callback.do?code=9";
    EventArgs args;
    args.Dispatch(partner->Page().Browser());
    args.StringRef(callback);
    // Without the portal's token the user stays on the partner's pages.
    ASSERT_TRUE(InternetSetCookieW(kPortal, L"Pauth", L""));
    args.Fire(partner->Page().BrowserEventSink(), 252);
    Pump(100);
    EXPECT_TRUE(partner->IsWindowVisible());

    ASSERT_TRUE(InternetSetCookieW(kPortal, L"Pauth", L"partner-token"));
    partner->Page().Navigate(callback);
    Pump(100);
    args.Fire(partner->Page().BrowserEventSink(), 252);
    Pump(200);
    EXPECT_FALSE(partner->IsWindowVisible());
    ASSERT_EQ(m_login.script->calls.size(), 1u);
    EXPECT_EQ(m_login.script->calls[0].name, L"check_login");
    // The hidden page is back at its start, and a later page of the service
    // completes nothing again.
    BSTR location = nullptr;
    ASSERT_EQ(partner->Page().Browser()->get_LocationURL(&location), S_OK);
    EXPECT_STREQ(location, L"http://127.0.0.1:7298/weixin/redirectToAuthorize.do?params=3");
    SysFreeString(location);
    args.Fire(partner->Page().BrowserEventSink(), 252);
    Pump(200);
    EXPECT_EQ(m_login.script->calls.size(), 1u);
}

TEST_F(LoginBridge, EscapeAndF5GoToTheLoginWindowNotThePage) {
    for (WPARAM key : {WPARAM{VK_ESCAPE}, WPARAM{VK_F5}}) {
        MSG msg{m_login.BrowserWindow(), WM_KEYDOWN, key, 0x10001, 0, {}};
        EXPECT_TRUE(m_login.PreTranslateMessage(&msg));
        MSG posted{};
        EXPECT_TRUE(PeekMessageW(&posted, m_background.m_hWnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
        EXPECT_EQ(posted.wParam, key);
    }
}

TEST(LoginBackground, CarriesTheLoginPageThroughShowMoveAndHide) {
    ASSERT_TRUE(AfxEnableControlContainer());
    TestFrame frame;
    {
        CLoginBkDlg background;
        ASSERT_TRUE(background.Create(IDD_EMPTY_POPUP, &frame));
        HWND page = background.LoginPage().m_hWnd;
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(background.ImageSize().cx, 1125);
        EXPECT_EQ(background.ImageSize().cy, 696);
        EXPECT_NE(background.GetExStyle() & WS_EX_LAYERED, 0u);

        background.ShowWindow(SW_SHOW);
        EXPECT_TRUE(IsWindowVisible(page));
        // (Wine without a window manager keeps owned windows out of the
        // topmost band, so the topmost step cannot be observed here.)

        background.SetWindowPos(nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT back{}, front{};
        background.GetWindowRect(&back);
        GetWindowRect(page, &front);
        EXPECT_EQ(front.left, 100);
        EXPECT_EQ(front.top, 50);
        EXPECT_EQ(front.right - front.left, back.right - back.left);
        EXPECT_EQ(front.bottom - front.top, back.bottom - back.top);

        background.ShowWindow(SW_HIDE);
        EXPECT_FALSE(IsWindowVisible(page));
    }
    Pump(100);
    EXPECT_EQ(CBrowserControlSite::LiveCount(), 0) << "every browser site is released with its dialog";
}

}  // namespace
