#include "login/load_game.h"

#include "browser/login_text.h"

#include "base/utf8.h"

namespace {

constexpr size_t kLabelStart = 15;
constexpr std::wstring_view kPairName = L"logingame=";
constexpr std::wstring_view kDefaultPair = L"logingame=7251";
constexpr std::wstring_view kServerMark = L"服-";
constexpr wchar_t kMiddleMark = L'》';
constexpr size_t kMiddleMax = 4;

std::wstring RemoveAll(std::wstring_view text, std::wstring_view what) {
    std::wstring out;
    size_t from = 0;
    for (size_t at = text.find(what); at != std::wstring_view::npos; at = text.find(what, from)) {
        out.append(text.substr(from, at - from));
        from = at + what.size();
    }
    out.append(text.substr(from));
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string UnescapeBytes(std::string_view in) {
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '%' && i + 2 < in.size() && HexValue(in[i + 1]) >= 0 && HexValue(in[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(in[i + 1]) * 16 + HexValue(in[i + 2]));
            i += 2;
        } else {
            out += in[i];
        }
    }
    return out;
}

bool SplitsLoginText(std::wstring_view label) {
    for (wchar_t c : label) {
        if (c == L'|' || c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

}  // namespace

LoadGameParts SplitLoadGame(std::wstring_view url) {
    LoadGameParts parts;
    std::wstring_view tail;
    if (url.size() > kLabelStart) {
        const size_t bar = url.find(L'|', kLabelStart);
        if (bar != std::wstring_view::npos) {
            parts.label = url.substr(kLabelStart, bar - kLabelStart);
            tail = url.substr(bar + 1);
        }
    }
    const size_t pairAt = tail.find(kPairName);
    parts.pair = pairAt == std::wstring_view::npos || pairAt == 0 ? std::wstring(kDefaultPair)
                                                                   : std::wstring(tail.substr(pairAt));
    parts.gameAddress = RemoveAll(tail, L"&" + parts.pair);
    return parts;
}

std::optional<std::wstring> DecodeLabel(std::wstring_view label, const ICodePage& threadAnsi) {
    // A plain label is checked too: a control character ends or splits the
    // login text at the main frame however it arrived.
    if (label.find(L'%') == std::wstring_view::npos) {
        if (SplitsLoginText(label)) return std::nullopt;
        return std::wstring(label);
    }
    std::string bytes;
    if (!threadAnsi.FromWide(label, bytes) || bytes.size() > kLabelBytesMax) return std::nullopt;
    // Unescaping never lengthens, so the decoded form fits the same 255
    // bytes and its UTF-8 reading cannot exceed 255 characters.
    std::wstring decoded;
    if (!Utf8ToWide(UnescapeBytes(bytes), decoded) || SplitsLoginText(decoded)) return std::nullopt;
    return decoded;
}

LoginLabel ParseLabel(std::wstring_view label) {
    LoginLabel parts;
    const size_t s = label.find(kServerMark);
    const size_t p = s == std::wstring_view::npos ? 1 : s + kServerMark.size();
    if (s != std::wstring_view::npos) parts.server = RemoveAll(label.substr(0, s), L"S");
    const size_t d = p <= label.size() ? label.find(L'-', p) : std::wstring_view::npos;
    if (d == std::wstring_view::npos) {
        parts.account = label;
    } else {
        parts.middle = label.substr(p, d - p);
        parts.account = label.substr(d + 1);
    }
    const size_t mark = parts.middle.find(kMiddleMark);
    if (mark != std::wstring::npos) parts.middle = parts.middle.substr(mark + 1, kMiddleMax);
    return parts;
}

std::wstring FormatLabel(const LoginLabel& label) {
    return label.server + std::wstring(kServerMark) + label.middle + L"-" + label.account;
}

std::optional<std::wstring> BuildLoginText(const LoginLabel& label, std::wstring_view pauthCookie,
                                           std::wstring_view ptusertypeCookie, std::wstring_view pair) {
    const std::wstring head = FormatLabel(label);
    constexpr size_t kSeparators = 3 * 2;
    const size_t fixed = head.size() + pair.size() + kSeparators;
    if (fixed > kLoginTextMaxChars) return std::nullopt;
    size_t room = kLoginTextMaxChars - fixed;
    auto fit = [&room](std::wstring_view cookie) {
        if (cookie.size() > room) return std::wstring();
        room -= cookie.size();
        return std::wstring(cookie);
    };
    const std::wstring pauth = fit(pauthCookie);
    const std::wstring userType = fit(ptusertypeCookie);
    return head + L"||" + pauth + L"||" + userType + L"||" + std::wstring(pair);
}

std::wstring DuplicateLoginMessage(const LoginLabel& label) {
    return L"账号 " + label.account + L" 已在 " + label.server + L"服 登录，同一账号不能在一服重复登录";
}
