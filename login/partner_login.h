#pragma once

#include <string>
#include <string_view>

// Logins with QQ, Weibo and WeChat accounts run through the portal's
// partner-login service, on its own configured host ("host[:port]", served
// over plain HTTP). All comparisons here are case-sensitive.

enum class PartnerProvider { None, QQ, Weibo, WeChat };

// A partner-login start: the address holds, anywhere, "http://" + partner
// host + "/qzone/", "/weibo/" or "/weixin/" + "redirectToAuthorize.do?params=".
// When it holds more than one, QQ comes before Weibo and Weibo before WeChat.
PartnerProvider DetectPartnerStart(std::wstring_view url, std::wstring_view partnerHost);

// The partner window's title: "QQ账号安全登录", "新浪微博账号安全登录",
// "微信账号安全登录"; WeChat's for None as well, as the bridge asks only
// after a start was found.
std::wstring_view PartnerTitle(PartnerProvider provider);

// The service's callback and account-binding pages, where it sets the
// portal's login cookie: the address begins with "http://" + partner host +
// "/qzone/", "/weibo/" or "/weixin/" + "callback.do", "extAutoBind.do" or
// "extLoginBind.do". A query string may follow; another host, another port
// or "https://" is not a completion.
bool IsPartnerCompletion(std::wstring_view url, std::wstring_view partnerHost);

// The hidden partner page is sent back to its start address after a
// completed login; it must not begin a new QQ authorisation there. True
// (cancel) for an address beginning with "https://" + QQ OAuth host +
// "/oauth2.0/authorize" while the page is not visible.
bool IsBlockedOAuthNavigation(std::wstring_view url, std::wstring_view qqOAuthHost, bool pageVisible);

// The clean-up timer after a completion looks every 10 ms for the dialog box
// the service leaves behind; it gives up after 10 s, as a box may never come.
inline constexpr unsigned kPartnerCleanupPeriodMs = 10;
inline constexpr unsigned kPartnerCleanupTicksMax = 1000;
