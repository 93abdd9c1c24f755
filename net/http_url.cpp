#include "net/http_url.h"

namespace {

constexpr std::wstring_view kScheme = L"http://";

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

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

}  // namespace

std::optional<HttpTarget> ParseHttpUrl(std::wstring_view url) {
    if (!StartsWithNoCase(url, kScheme)) return std::nullopt;
    std::wstring_view rest = url.substr(kScheme.size());
    const size_t slash = rest.find(L'/');
    std::wstring_view host = rest.substr(0, slash);
    const std::wstring_view object = slash == std::wstring_view::npos ? std::wstring_view{} : rest.substr(slash + 1);
    if (host.size() > kHttpHostMax || object.size() > kHttpObjectMax) return std::nullopt;

    HttpTarget target;
    const size_t colon = host.find(L':');
    if (colon != std::wstring_view::npos) {
        const auto port = ReadPort(host.substr(colon + 1));
        if (!port) return std::nullopt;
        target.port = *port;
        host = host.substr(0, colon);
    }
    if (host.empty()) return std::nullopt;
    target.host = host;
    target.object = object;
    return target;
}
