#include "login/login_urls.h"

#include "net/url_encode.h"

std::wstring LoginPageAddress(std::wstring_view loginPageUrl, std::wstring_view deviceParams, bool firstRun,
                              int openPageCount, bool autostart) {
    std::wstring address(loginPageUrl);
    address += deviceParams;
    if (firstRun && openPageCount == 0) address += L"&toAd=1";
    address += autostart ? L"&autorun=1" : L"&autorun=0";
    return address;
}

std::wstring LoginPageAddress(const CCtrlBlock& block, const DeviceIdentity& device, bool firstRun, int openPageCount,
                              bool autostart) {
    return LoginPageAddress(block.LoginPageUrl(), DeviceParams(block, device), firstRun, openPageCount, autostart);
}

std::wstring ExitGameBeaconUrl(const CCtrlBlock& block, std::wstring_view mac) {
    return EventBeaconUrl(block, 115, L"关闭客户端", BlockChannel(block), mac);
}

std::wstring NamedCookie(std::wstring_view cookies, std::wstring_view name) {
    while (!cookies.empty()) {
        const size_t end = cookies.find(L';');
        std::wstring_view entry = cookies.substr(0, end);
        while (!entry.empty() && entry.front() == L' ') entry.remove_prefix(1);
        if (entry.size() > name.size() && entry.substr(0, name.size()) == name && entry[name.size()] == L'=')
            return std::wstring(entry);
        if (end == std::wstring_view::npos) break;
        cookies.remove_prefix(end + 1);
    }
    return {};
}

std::wstring CookieValue(std::wstring_view cookie, std::wstring_view name) {
    const size_t skip = name.size() + 1;
    return skip < cookie.size() ? std::wstring(cookie.substr(skip)) : std::wstring();
}

std::optional<std::wstring> AutoLoginUrl(std::wstring_view portalHost, std::wstring_view pauthCookie,
                                         std::wstring_view ptusertypeCookie, std::wstring_view target) {
    if (pauthCookie.size() >= kRedirectPauthBuffer || ptusertypeCookie.size() >= kRedirectPtusertypeBuffer) {
        return std::nullopt;
    }
    const std::wstring encoded = UrlEncode(target, kAutoLoginBuffer);
    if (encoded.empty() && !target.empty()) return std::nullopt;
    std::wstring url = L"http://" + std::wstring(portalHost) + L"/user/?_c=hallClient&_a=autoLogin&pauth=" +
                       CookieValue(pauthCookie, L"Pauth") + L"&url=" + encoded + L"&ptusertype=" +
                       CookieValue(ptusertypeCookie, L"ptusertype");
    if (url.size() >= kAutoLoginBuffer) return std::nullopt;
    return url;
}
