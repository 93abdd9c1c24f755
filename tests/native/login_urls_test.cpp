#include <gtest/gtest.h>

#include "login/login_urls.h"
#include "tests/native/reference_block.h"

namespace {

TEST(LoginPageAddress, AppendsDeviceParametersAdvertAndAutorun) {
    CReferenceBlock reference;
    ASSERT_EQ(reference.Error(), "");
    const DeviceIdentity device{L"b455", L"6c9d", L"00:1A:2B:3C:4D:5E"};
    const std::wstring base =
        L"http://127.0.0.1:7251/doln/clients/doln-gwb2-zddl/reg.html?oid=17800&oid2=&vcode=&dirtype=0&pt=0&"
        L"agid=0&cid=3000&aid=2&game=doln&did=b455&vid=6c9d&mac=00:1A:2B:3C:4D:5E";
    const struct {
        bool firstRun;
        int openPages;
        bool autostart;
        std::wstring expected;
    } cases[] = {
        {true, 0, false, base + L"&toAd=1&autorun=0"},
        {true, 0, true, base + L"&toAd=1&autorun=1"},
        {true, 1, false, base + L"&autorun=0"},
        {true, -1, false, base + L"&autorun=0"},
        {false, 0, true, base + L"&autorun=1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoginPageAddress(reference.View(), device, c.firstRun, c.openPages, c.autostart), c.expected)
            << c.firstRun << c.openPages << c.autostart;
    }
    const std::wstring exit = ExitGameBeaconUrl(reference.View(), L"00:1A:2B:3C:4D:5E");
    EXPECT_TRUE(exit.starts_with(
        L"http://127.0.0.1:7251/_regevent.gif?event=115&ename=%E5%85%B3%E9%97%AD%E5%AE%A2%E6%88%B7%E7%AB%AF&type=0&"))
        << exit;
    EXPECT_NE(exit.find(L"&oid=17800&oid1=17800&oid2=&cid=3000&aid=2&lc=0&userSession=00:1A:2B:3C:4D:5E&newStat=0&"),
              std::wstring::npos) << exit;
}

TEST(AutoLoginUrl, FormatsOnThePortalWithCookieValuesAndEncodedTarget) {
    EXPECT_EQ(AutoLoginUrl(L"127.0.0.1:7251", L"Pauth=T0k", L"ptusertype=2", L"http://pay/?a=1&b=中"),
              L"http://127.0.0.1:7251/user/?_c=hallClient&_a=autoLogin&pauth=T0k&url="
              L"http%3A%2F%2Fpay%2F%3Fa%3D1%26b%3D%E4%B8%AD&ptusertype=2");
    // Absent cookies give empty values; so does an empty target.
    EXPECT_EQ(AutoLoginUrl(L"p", L"", L"", L""),
              L"http://p/user/?_c=hallClient&_a=autoLogin&pauth=&url=&ptusertype=");
}

TEST(AutoLoginUrl, RefusesWhatWouldBeCut) {
    const std::wstring pauth = L"Pauth=" + std::wstring(kRedirectPauthBuffer - 7, L'p');
    const std::wstring type = L"ptusertype=" + std::wstring(kRedirectPtusertypeBuffer - 12, L't');
    EXPECT_TRUE(AutoLoginUrl(L"p", pauth, type, L"x"));
    EXPECT_FALSE(AutoLoginUrl(L"p", pauth + L"p", type, L"x"));
    EXPECT_FALSE(AutoLoginUrl(L"p", pauth, type + L"t", L"x"));
    // 700 "/" encode to 2,100 characters: more than the 2,048 the target gets.
    EXPECT_FALSE(AutoLoginUrl(L"p", L"", L"", std::wstring(700, L'/')));
    // The target fits alone but the whole address does not.
    EXPECT_FALSE(AutoLoginUrl(L"p", pauth, L"", std::wstring(1000, L'a')));
    EXPECT_TRUE(AutoLoginUrl(L"p", L"", L"", std::wstring(1000, L'a')));
}

}  // namespace

TEST(NamedCookie, PicksTheNamedEntryOutOfOneOrManyCookies) {
    struct Case {
        const wchar_t* cookies;
        const wchar_t* name;
        const wchar_t* expected;
    } cases[] = {
        {L"Pauth=tok", L"Pauth", L"Pauth=tok"},
        {L"Pauth=tok; ptusertype=1", L"ptusertype", L"ptusertype=1"},
        {L"XPauth=a; pauth=b; Pauth=c", L"Pauth", L"Pauth=c"},
        {L"Pauth=", L"Pauth", L"Pauth="},
        {L"Pauthx=1;Pauth=2", L"Pauth", L"Pauth=2"},
        {L"", L"Pauth", L""},
        {L";;; ;", L"Pauth", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(NamedCookie(c.cookies, c.name), c.expected) << c.cookies;
}
