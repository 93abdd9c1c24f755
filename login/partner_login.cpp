#include "login/partner_login.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<std::wstring_view, PartnerProvider>, 3> kProviders{{
    {L"/qzone/", PartnerProvider::QQ},
    {L"/weibo/", PartnerProvider::Weibo},
    {L"/weixin/", PartnerProvider::WeChat},
}};

constexpr std::array<std::wstring_view, 3> kCompletionPages{L"callback.do", L"extAutoBind.do", L"extLoginBind.do"};

std::wstring HostRoot(std::wstring_view scheme, std::wstring_view host) {
    return std::wstring(scheme) + std::wstring(host);
}

}  // namespace

PartnerProvider DetectPartnerStart(std::wstring_view url, std::wstring_view partnerHost) {
    const std::wstring root = HostRoot(L"http://", partnerHost);
    for (const auto& [folder, provider] : kProviders) {
        const std::wstring start = root + std::wstring(folder) + L"redirectToAuthorize.do?params=";
        if (url.find(start) != std::wstring_view::npos) return provider;
    }
    return PartnerProvider::None;
}

std::wstring_view PartnerTitle(PartnerProvider provider) {
    switch (provider) {
    case PartnerProvider::QQ:
        return L"QQ账号安全登录";
    case PartnerProvider::Weibo:
        return L"新浪微博账号安全登录";
    default:
        return L"微信账号安全登录";
    }
}

bool IsPartnerCompletion(std::wstring_view url, std::wstring_view partnerHost) {
    const std::wstring root = HostRoot(L"http://", partnerHost);
    if (!url.starts_with(root)) return false;
    const std::wstring_view path = url.substr(root.size());
    for (const auto& [folder, provider] : kProviders) {
        if (!path.starts_with(folder)) continue;
        const std::wstring_view page = path.substr(folder.size());
        for (std::wstring_view name : kCompletionPages) {
            if (page.starts_with(name)) return true;
        }
    }
    return false;
}

bool IsBlockedOAuthNavigation(std::wstring_view url, std::wstring_view qqOAuthHost, bool pageVisible) {
    return !pageVisible && url.starts_with(HostRoot(L"https://", qqOAuthHost) + L"/oauth2.0/authorize");
}
