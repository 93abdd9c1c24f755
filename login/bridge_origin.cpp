#include "login/bridge_origin.h"

#include "base/ascii_case.h"
#include "login/bridge_command.h"
#include "login/partner_login.h"

namespace {

constexpr size_t kPortDigitsMax = 5;

// Letters, digits, "-", "." and "_" in names; "[", "]" and ":" only inside a
// bracketed IPv6 literal. Anything else ("%", blanks, controls) is refused,
// so no spelling of a host can compare equal by accident.
bool IsHostChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' ||
           c == L'.' || c == L'_';
}

bool IsIpv6Char(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F') || c == L':' || c == L'.';
}

std::optional<std::wstring> Authority(std::wstring_view authority, unsigned defaultPort) {
    if (authority.empty() || authority.find(L'@') != std::wstring_view::npos) return std::nullopt;
    std::wstring_view host;
    std::wstring_view rest;
    if (authority.front() == L'[') {
        const size_t close = authority.find(L']');
        if (close == std::wstring_view::npos || close < 2) return std::nullopt;
        for (wchar_t c : authority.substr(1, close - 1)) {
            if (!IsIpv6Char(c)) return std::nullopt;
        }
        host = authority.substr(0, close + 1);
        rest = authority.substr(close + 1);
    } else {
        const size_t colon = authority.find(L':');
        host = authority.substr(0, colon);
        rest = colon == std::wstring_view::npos ? std::wstring_view() : authority.substr(colon);
        if (host.empty()) return std::nullopt;
        for (wchar_t c : host) {
            if (!IsHostChar(c)) return std::nullopt;
        }
    }
    unsigned port = defaultPort;
    if (!rest.empty()) {
        if (rest.front() != L':') return std::nullopt;
        const std::wstring_view digits = rest.substr(1);
        if (digits.empty() || digits.size() > kPortDigitsMax) return std::nullopt;
        port = 0;
        for (wchar_t c : digits) {
            if (c < L'0' || c > L'9') return std::nullopt;
            port = port * 10 + static_cast<unsigned>(c - L'0');
        }
        if (port == 0 || port > 65535) return std::nullopt;
    }
    std::wstring out = AsciiLowered(host);
    if (port != defaultPort) out += L":" + std::to_wstring(port);
    return out;
}

std::wstring_view UpToPathStart(std::wstring_view text) {
    return text.substr(0, text.find_first_of(L"/\\?#"));
}

}  // namespace

std::optional<std::wstring> WebAuthority(std::wstring_view url) {
    unsigned defaultPort = 0;
    size_t start = 0;
    if (StartsWithNoCase(url, L"http://")) {
        defaultPort = 80;
        start = 7;
    } else if (StartsWithNoCase(url, L"https://")) {
        defaultPort = 443;
        start = 8;
    } else {
        return std::nullopt;
    }
    return Authority(UpToPathStart(url.substr(start)), defaultPort);
}

bool IsOperatorPage(std::wstring_view documentUrl, const OperatorHosts& hosts) {
    const std::optional<std::wstring> current = WebAuthority(documentUrl);
    if (!current) return false;
    const std::optional<std::wstring> loginPage = WebAuthority(hosts.loginPageUrl);
    if (loginPage && *loginPage == *current) return true;
    // The configured host carries no scheme; it is served over plain HTTP.
    const std::optional<std::wstring> portal = Authority(hosts.portalHost, 80);
    return portal && *portal == *current;
}

bool IsForeignSubFrame(const FrameNavigation& navigation, const OperatorHosts& hosts) {
    if (!navigation.subFrame) return false;
    // A blank frame holds nothing of anyone's; pages make them to write into.
    if (EqualsNoCase(navigation.target, L"about:blank")) return false;
    if (IsOperatorPage(navigation.target, hosts)) return false;
    const std::optional<std::wstring> target = WebAuthority(navigation.target);
    const std::optional<std::wstring> partner = Authority(hosts.partnerHost, 80);
    return !(target && partner && *target == *partner);
}

LoginNavigation JudgeLoginNavigation(const FrameNavigation& navigation, const OperatorHosts& hosts) {
    const bool asksClient = ParseBridgeCommand(navigation.target).command != BridgeCommand::None ||
                            DetectPartnerStart(navigation.target, hosts.partnerHost) != PartnerProvider::None;
    if (asksClient) {
        const bool fromOperator =
            IsOperatorPage(navigation.topDocument, hosts) && IsOperatorPage(navigation.frameDocument, hosts);
        return fromOperator ? LoginNavigation::Carry : LoginNavigation::Cancel;
    }
    return IsForeignSubFrame(navigation, hosts) ? LoginNavigation::Cancel : LoginNavigation::Go;
}
