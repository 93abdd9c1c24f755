#include <gtest/gtest.h>

#include "login/drag_exclusion.h"
#include "login/partner_login.h"

namespace {

constexpr const wchar_t* kHost = L"127.0.0.1:7251";

TEST(PartnerLogin, StartAddressesAnywhereInTheUrl) {
    using P = PartnerProvider;
    const struct {
        const wchar_t* url;
        PartnerProvider provider;
        const wchar_t* title;
    } cases[] = {
        {L"http://127.0.0.1:7251/qzone/redirectToAuthorize.do?params=x", P::QQ, L"QQ账号安全登录"},
        {L"http://127.0.0.1:7251/weibo/redirectToAuthorize.do?params=", P::Weibo, L"新浪微博账号安全登录"},
        {L"http://127.0.0.1:7251/weixin/redirectToAuthorize.do?params=1", P::WeChat, L"微信账号安全登录"},
        {L"http://x/?u=http://127.0.0.1:7251/weibo/redirectToAuthorize.do?params=1", P::Weibo, nullptr},
        {L"http://127.0.0.1:7251/weixin/redirectToAuthorize.do?params=&"
         L"http://127.0.0.1:7251/qzone/redirectToAuthorize.do?params=", P::QQ, nullptr},
        {L"http://127.0.0.1:7251/qzone/redirectToAuthorize.do?x=1", P::None, nullptr},
        {L"https://127.0.0.1:7251/qzone/redirectToAuthorize.do?params=1", P::None, nullptr},
        {L"http://127.0.0.2:7251/qzone/redirectToAuthorize.do?params=1", P::None, nullptr},
        {L"http://127.0.0.1:7251/QZONE/redirectToAuthorize.do?params=1", P::None, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectPartnerStart(c.url, kHost), c.provider) << c.url;
        if (c.title) {
            EXPECT_EQ(PartnerTitle(c.provider), c.title) << c.url;
        }
    }
}

TEST(PartnerLogin, CompletionAddresses) {
    for (const wchar_t* provider : {L"qzone", L"weibo", L"weixin"}) {
        for (const wchar_t* page : {L"callback.do", L"extAutoBind.do", L"extLoginBind.do"}) {
            const std::wstring url = std::wstring(L"http://127.0.0.1:7251/") + provider + L"/" + page;
            EXPECT_TRUE(IsPartnerCompletion(url, kHost)) << url;
            EXPECT_TRUE(IsPartnerCompletion(url + L"?code=1&state=2", kHost)) << url;
        }
    }
    for (const wchar_t* url : {L"https://127.0.0.1:7251/qzone/callback.do", L"http://127.0.0.1:72510/qzone/callback.do",
                               L"http://127.0.0.1/qzone/callback.do", L"http://evil/qzone/callback.do",
                               L"http://127.0.0.1:7251/qzone/redirectToAuthorize.do?params=",
                               L"http://127.0.0.1:7251/other/callback.do", L"http://127.0.0.1:7251/qzone/Callback.do",
                               L"http://evil/?http://127.0.0.1:7251/qzone/callback.do", L""}) {
        EXPECT_FALSE(IsPartnerCompletion(url, kHost)) << url;
    }
}

TEST(PartnerLogin, OAuthGuardOnlyWhileHidden) {
    const wchar_t* authorize = L"https://graph.qq.example/oauth2.0/authorize?client_id=1";
    EXPECT_TRUE(IsBlockedOAuthNavigation(authorize, L"graph.qq.example", false));
    EXPECT_FALSE(IsBlockedOAuthNavigation(authorize, L"graph.qq.example", true));
    EXPECT_FALSE(IsBlockedOAuthNavigation(L"http://graph.qq.example/oauth2.0/authorize", L"graph.qq.example", false));
    EXPECT_FALSE(IsBlockedOAuthNavigation(L"https://graph.qq.example/oauth2.0/token", L"graph.qq.example", false));
}

TEST(DragExclusion, LookupByExactTagAndPoint) {
    constexpr DragExclusion kTable[] = {
        {L"doln-a", {{{941, 5, 994, 30}, {0, 0, 10, 10}}}, 2},
        {L"doln-b", {{{100, 100, 200, 200}, {0, 0, 10, 10}}}, 1},  // the second rectangle is not in use
        {L"doln-a", {{{0, 0, 2000, 2000}}}, 1},                     // shadowed by the first row
    };
    const struct {
        const wchar_t* tag;
        int x, y;
        bool excluded;
    } cases[] = {
        {L"doln-a", 941, 5, true},   {L"doln-a", 993, 29, true}, {L"doln-a", 994, 29, false},
        {L"doln-a", 993, 30, false}, {L"doln-a", 5, 5, true},    {L"doln-a", 500, 500, false},
        {L"DOLN-A", 950, 10, false}, {L"doln-b", 150, 150, true}, {L"doln-b", 5, 5, false},
        {L"doln-c", 950, 10, false}, {L"", 950, 10, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDragExcluded(kTable, c.tag, c.x, c.y), c.excluded) << c.tag << " " << c.x << "," << c.y;
    }
    EXPECT_TRUE(TheDragExclusions().empty());
    EXPECT_FALSE(IsDragExcluded(TheDragExclusions(), L"doln-gwb2-zddl", 950, 10));
}

}  // namespace
