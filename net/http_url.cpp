#include "net/http_url.h"

#include "base/ascii_case.h"

namespace {

constexpr std::wstring_view kScheme = L"http://";

// Leading decimal digits after optional blanks and sign, as _wtoi reads them;
// nothing when the value cannot be a port.
std::optional<uint16_t> ReadPort(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + static_cast<uint32_t>(text[i] - L'0');
        if (value > 65535) return std::nullopt;
    }
    if (negative && value != 0) return std::nullopt;
    return static_cast<uint16_t>(value);
}

std::optional<uint16_t> ReadStrictPort(std::wstring_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    uint32_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - L'0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<uint16_t>(value);
}

}  // namespace

std::optional<HttpTarget> ParseHttpUrl(std::wstring_view url, PortSyntax syntax, size_t objectMax) {
    if (!StartsWithNoCase(url, kScheme)) return std::nullopt;
    std::wstring_view rest = url.substr(kScheme.size());
    const size_t slash = rest.find(L'/');
    std::wstring_view host = rest.substr(0, slash);
    const std::wstring_view object = slash == std::wstring_view::npos ? std::wstring_view{} : rest.substr(slash + 1);
    if (host.size() > kHttpHostMax || object.size() > objectMax) return std::nullopt;

    HttpTarget target;
    const size_t colon = host.find(L':');
    if (colon != std::wstring_view::npos) {
        const std::wstring_view text = host.substr(colon + 1);
        const auto port = syntax == PortSyntax::Strict ? ReadStrictPort(text) : ReadPort(text);
        if (!port) return std::nullopt;
        target.port = *port;
        host = host.substr(0, colon);
    }
    if (host.empty()) return std::nullopt;
    target.host = host;
    target.object = object;
    return target;
}
