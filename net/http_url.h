#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The parts of a plain-HTTP address that the GET helper connects with.
struct HttpTarget {
    std::wstring host;    // without the port
    uint16_t port = 80;
    std::wstring object;  // the text after the first "/" behind the host, that "/" excluded
};

inline constexpr size_t kHttpHostMax = 259;
inline constexpr size_t kHttpObjectMax = 511;

// Splits "http://host[:port][/object]". The scheme is compared without regard
// to case; anything else ("https://" included) is refused, as are a host of
// 260 characters or more, an object of 512 or more, an empty host and a port
// that is not a number from 0 to 65535. The port is read like _wtoi: leading
// digits, so "8080x" is 8080 and ":" alone is 0 (the service's default).
std::optional<HttpTarget> ParseHttpUrl(std::wstring_view url);
