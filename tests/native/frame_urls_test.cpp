#include <gtest/gtest.h>

#include "browser/frame_urls.h"
#include "tests/native/reference_block.h"

namespace {

class FrameUrlsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_reference.Error(), ""); }
    CReferenceBlock m_reference;
};

TEST_F(FrameUrlsTest, LoginBeaconKeepsTheAccountButEscapesWhatWouldBreakTheRequest) {
    const CCtrlBlock block = m_reference.View();
    const std::wstring base = L"http://127.0.0.1:7251/login.htm?tag=Doln2&ver=3.0.0.1&uid=";
    struct Case {
        const wchar_t* account;
        int count;
        const wchar_t* tail;
    } cases[] = {
        {L"abc", 1, L"abc&index=1"},
        {L"用户%41", 3, L"用户%41&index=3"},  // unencoded, as the service reads it
        {L"a b\r\nGET /x#y&index=9", 2, L"a%20b%0D%0AGET%20/x%23y%26index=9&index=2"},
    };
    for (const Case& c : cases) EXPECT_EQ(PageLoginBeaconUrl(block, c.account, c.count), base + c.tail) << c.account;
}

TEST_F(FrameUrlsTest, OnlineTimeRecord) {
    const CCtrlBlock block = m_reference.View();
    EXPECT_EQ(OnlineSeconds(1000, 62999), 61u);
    EXPECT_EQ(OnlineSeconds(0xFFFFFC18u, 2000), 3u);  // across the tick wrap
    struct Case {
        const wchar_t* label;
        const wchar_t* loginGame;
        uint32_t seconds;
        const wchar_t* url;
    } cases[] = {
        {L"12服-一区-abc", L"7251", 61,
         L"http://127.0.0.1:7251/d.php?a=web.online&game=7251&server=S12&length=61&cid=3000"},
        {L"no server here", L"7251", 0,
         L"http://127.0.0.1:7251/d.php?a=web.online&game=7251&server=S&length=0&cid=3000"},
        {L"1 2服-x-y", L"g&h", 4294967, L"http://127.0.0.1:7251/d.php?a=web.online&game=g%26h&server=S1%202&length=4294967&cid=3000"},
    };
    for (const Case& c : cases) EXPECT_EQ(OnlineTimeUrl(block, c.label, c.loginGame, c.seconds), c.url) << c.label;
    // Cut at 255 characters the record would report another game: it is not sent.
    EXPECT_FALSE(OnlineTimeUrl(block, L"1服-x-y", std::wstring(200, L'g'), 1));
}

TEST_F(FrameUrlsTest, WebShortcutsLogInThroughThePortal) {
    ASSERT_EQ(m_reference.Set("PayHost", "pay.example.net"), "");
    const CCtrlBlock block = m_reference.View();
    const PageRecord record{L"T0k", L"1", L"7251"};
    const std::wstring head = L"http://127.0.0.1:7251/user/?_c=hallClient&_a=autoLogin&pauth=T0k&url=";
    const std::wstring portal = L"http%3A%2F%2F127%2E0%2E0%2E1%3A7251%2F";
    struct Case {
        WebShortcut type;
        std::wstring url;
    } cases[] = {
        {WebShortcut::Service, head + portal + L"kefu%2F&ptusertype=1&type=5&game=doln"},
        {WebShortcut::NoviceCard, head + portal + L"7251%2Fxsk%2F&ptusertype=1&type=4&game=doln"},
        {WebShortcut::Pay, head + L"http%3A%2F%2Fpay%2Eexample%2Enet%2F%3Fgamename%3Ddoln&ptusertype=1&type=3&game=doln"},
        {WebShortcut::Messages, head + portal + L"message%2F&ptusertype=1&type=2&game=doln"},
        {WebShortcut::UserInfo, head + portal + L"user%2Fuserinfo%2Ephp&ptusertype=1&type=1&game=doln"},
    };
    for (const Case& c : cases) EXPECT_EQ(WebShortcutUrl(block, c.type, record), c.url) << static_cast<int>(c.type);

    // The login-game value stands unencoded in the target's path; the whole
    // target is then encoded as the url value.
    EXPECT_EQ(WebShortcutTarget(block, WebShortcut::NoviceCard, L"游戏 1"), L"http://127.0.0.1:7251/游戏 1/xsk/");
    EXPECT_EQ(WebShortcutUrl(block, WebShortcut::NoviceCard, PageRecord{L"T", L"2", L"游戏 1"}),
              L"http://127.0.0.1:7251/user/?_c=hallClient&_a=autoLogin&pauth=T&url=" + portal +
                  L"%E6%B8%B8%E6%88%8F%201%2Fxsk%2F&ptusertype=2&type=4&game=doln");

    // Too long for the target's or the address's buffer: nothing is opened.
    EXPECT_FALSE(WebShortcutUrl(block, WebShortcut::NoviceCard, PageRecord{L"T", L"1", std::wstring(480, L'g')}));
    EXPECT_FALSE(WebShortcutUrl(block, WebShortcut::Service, PageRecord{std::wstring(400, L't'), L"1", L"g"}));
}

}  // namespace
