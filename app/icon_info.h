#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The portal's desktop-icon description: a JSON object with the string
// members "time", "iconName" and "iconUrl", possibly wrapped in other text.

struct IconInfo {
    std::wstring time;
    std::wstring name;
    std::wstring url;
};

namespace icon_info {

// Longer answers are not descriptions; they are refused before any parse.
inline constexpr size_t kTextMax = 64 * 1024;

// Bounds of the converted members, those of the settings values they are
// compared with or stored as (one character of each buffer holds the NUL).
inline constexpr size_t kTimeMax = 63;
inline constexpr size_t kNameMax = 31;
inline constexpr size_t kUrlMax = 255;

}  // namespace icon_info

// The portal address's path and query for this game and channel.
std::wstring IconDescriptionPath(std::wstring_view gameCode, std::wstring_view aid);

// The text from its first "{" to its last "}", both included; none when the
// text is longer than icon_info::kTextMax or holds no such pair.
std::optional<std::string_view> CutJsonObject(std::string_view text);

// The description, or none when the cut text does not parse, a member is
// missing, not a string or not UTF-8, the name or address is empty, or the
// address does not fit its bound (a cut address would fetch something else).
// A longer time or name is cut to its bound, as the settings file would cut it.
std::optional<IconInfo> ParseIconInfo(std::string_view text);
