#include "app/icon_info.h"

#include "app/json_object.h"
#include "base/utf8.h"

namespace {

// Cuts to `max` UTF-16 units without leaving half a surrogate pair; on
// 4-byte wchar_t every character is one unit.
std::wstring CutTo(std::wstring text, size_t max) {
    if (text.size() <= max) return text;
    size_t cut = max;
    if constexpr (sizeof(wchar_t) == 2) {
        if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
    }
    text.resize(cut);
    return text;
}

bool WideMember(const Json::Value& root, const char* name, std::wstring& out) {
    const Json::Value* member = StringMember(root, name);
    if (member == nullptr) return false;
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!member->getString(&begin, &end)) return false;
    return Utf8ToWide(std::string_view(begin, static_cast<size_t>(end - begin)), out);
}

}  // namespace

std::wstring IconDescriptionPath(std::wstring_view gameCode, std::wstring_view aid) {
    std::wstring path = L"/webStatic/index.php?_c=client&_a=getIconInfo&game=";
    path += gameCode;
    path += L"&aid=";
    path += aid;
    return path;
}

std::optional<std::string_view> CutJsonObject(std::string_view text) {
    if (text.size() > icon_info::kTextMax) return std::nullopt;
    const size_t first = text.find('{');
    const size_t last = text.rfind('}');
    if (first == std::string_view::npos || last == std::string_view::npos || last < first) return std::nullopt;
    return text.substr(first, last - first + 1);
}

std::optional<IconInfo> ParseIconInfo(std::string_view text) {
    const std::optional<std::string_view> cut = CutJsonObject(text);
    if (!cut) return std::nullopt;

    Json::Value root;
    if (!ParseJsonObject(*cut, root)) return std::nullopt;

    IconInfo info;
    if (!WideMember(root, "time", info.time) || !WideMember(root, "iconName", info.name) ||
        !WideMember(root, "iconUrl", info.url)) {
        return std::nullopt;
    }
    if (info.name.empty() || info.url.empty() || info.url.size() > icon_info::kUrlMax) return std::nullopt;
    info.time = CutTo(std::move(info.time), icon_info::kTimeMax);
    info.name = CutTo(std::move(info.name), icon_info::kNameMax);
    return info;
}
