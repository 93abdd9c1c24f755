#include "app/update_info.h"

#include <algorithm>
#include <vector>

#include "app/icon_info.h"
#include "app/json_object.h"
#include "base/base64.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLowerHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool TextMember(const Json::Value& root, std::string_view name, std::string& out) {
    const Json::Value* member = StringMember(root, name);
    if (member == nullptr) return false;
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!member->getString(&begin, &end)) return false;
    out.assign(begin, end);
    return true;
}

bool IsHttpUrl(std::string_view url) {
    constexpr std::string_view kScheme = "http://";
    if (url.size() > update_info::kUrlMax || !url.starts_with(kScheme)) return false;
    const std::string_view rest = url.substr(kScheme.size());
    if (rest.empty() || rest.front() == '/' || rest.front() == ':') return false;
    // The address goes to the network as it stands: no blank, control byte or
    // non-ASCII byte that a request line could be split or spoofed with.
    return std::all_of(rest.begin(), rest.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

bool IsTag(std::string_view tag) {
    return !tag.empty() && tag.size() <= update_info::kTagMax && std::all_of(tag.begin(), tag.end(), IsAlnum);
}

bool IsSha256Hex(std::string_view text) { return text.size() == 64 && std::all_of(text.begin(), text.end(), IsLowerHex); }

bool IsSignature(std::string_view text) {
    std::vector<unsigned char> der;
    return !text.empty() && text.size() <= update_info::kSignatureMax && Base64Decode(text, der);
}

// The next dot-separated group of `text` from `at`; empty past the end.
std::string_view Group(std::string_view text, size_t& at) {
    if (at >= text.size()) return {};
    const size_t dot = std::min(text.find('.', at), text.size());
    const std::string_view group = text.substr(at, dot - at);
    at = dot + 1;
    return group;
}

int CompareGroups(std::string_view a, std::string_view b) {
    const auto significant = [](std::string_view g) {
        const size_t first = g.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view{} : g.substr(first);
    };
    a = significant(a);
    b = significant(b);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace

bool IsDottedVersion(std::string_view text) {
    if (text.empty() || text.size() > update_info::kVersionMax) return false;
    bool groupStarted = false;
    for (char c : text) {
        if (IsDigit(c)) {
            groupStarted = true;
        } else if (c == '.' && groupStarted) {
            groupStarted = false;
        } else {
            return false;
        }
    }
    return groupStarted;
}

bool ParseByteCount(std::string_view text, uint64_t& value) {
    if (text.empty() || text.size() > 20 || !std::all_of(text.begin(), text.end(), IsDigit)) return false;
    uint64_t result = 0;
    for (char c : text) {
        const auto digit = static_cast<uint64_t>(c - '0');
        if (result > (UINT64_MAX - digit) / 10) return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

int CompareVersions(std::string_view a, std::string_view b) {
    const bool aGood = IsDottedVersion(a);
    const bool bGood = IsDottedVersion(b);
    if (!aGood || !bGood) return aGood == bGood ? 0 : (aGood ? 1 : -1);
    size_t atA = 0;
    size_t atB = 0;
    while (atA < a.size() || atB < b.size()) {
        if (const int order = CompareGroups(Group(a, atA), Group(b, atB)); order != 0) return order;
    }
    return 0;
}

bool ParseUpdateInfo(std::string_view body, UpdateInfo& out) {
    out = {};
    const std::optional<std::string_view> cut = CutJsonObject(body);
    if (!cut) return false;
    Json::Value root;
    // Strict JSON: a second object or a repeated member would leave it to the
    // parser which of two files the client is told about.
    if (!ParseJsonObject(*cut, root, JsonSyntax::Strict)) return false;

    UpdateInfo info;
    uint64_t size = 0;
    if (!TextMember(root, "version", info.version) || !TextMember(root, "tag", info.tag) ||
        !TextMember(root, "url", info.url) || !TextMember(root, "size", info.size) ||
        !TextMember(root, "sha256", info.sha256) || !TextMember(root, "signature", info.signature)) {
        return false;
    }
    if (!IsDottedVersion(info.version) || !IsTag(info.tag) || !IsHttpUrl(info.url) ||
        !ParseByteCount(info.size, size) || !IsSha256Hex(info.sha256) || !IsSignature(info.signature)) {
        return false;
    }
    out = std::move(info);
    return true;
}

std::wstring UpdateInfoAddress(const std::wstring& portalHost, const std::wstring& gameCode, const std::wstring& aid,
                               const std::wstring& clientVersion) {
    return L"http://" + portalHost + L"/webStatic/index.php?_c=client&_a=getUpdateInfo&game=" + gameCode + L"&aid=" +
           aid + L"&ver=" + clientVersion;
}
