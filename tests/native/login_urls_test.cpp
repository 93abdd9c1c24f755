#include <gtest/gtest.h>

#include "login/login_urls.h"

namespace {

TEST(LoginPageAddress, AppendsDeviceParametersAdvertAndAutorun) {
    const wchar_t* page = L"http://127.0.0.1:7251/reg.html?oid=1&";
    const wchar_t* params = L"agid=0&cid=3000&aid=2&game=doln&did=1&vid=2&mac=3";
    const std::wstring base = std::wstring(page) + params;
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
        EXPECT_EQ(LoginPageAddress(page, params, c.firstRun, c.openPages, c.autostart), c.expected)
            << c.firstRun << c.openPages << c.autostart;
    }
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
