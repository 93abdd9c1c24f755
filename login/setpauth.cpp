#include "login/setpauth.h"

#include "app/account_entry.h"

std::optional<std::wstring> DecodeSetPauth(std::wstring_view url, const ICodePage& threadAnsi) {
    std::wstring_view s = url;
    const size_t bar = s.find(L'|');
    if (bar != std::wstring_view::npos) s = s.substr(bar + 1);
    constexpr std::wstring_view kName = L"pauth=";
    const size_t q = s.find(kName);
    if (q == std::wstring_view::npos) return std::nullopt;
    std::wstring value = DecodeAccountText(s.substr(q + kName.size()), threadAnsi, threadAnsi);
    if (!value.empty()) value.pop_back();
    return value;
}
