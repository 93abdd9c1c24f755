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

// How the port after a ":" in the host is read.
enum class PortSyntax {
    // Like _wtoi, as the GET helper always has: leading digits, so "8080x" is
    // 8080 and ":" alone is 0 (the service's default).
    LikeWtoi,
    // One to five digits and nothing else, 1 to 65535: the update download
    // takes no address it would have to guess at.
    Strict,
};

// Splits "http://host[:port][/object]". The scheme is compared without regard
// to case; anything else ("https://" included) is refused, as are a host of
// 260 characters or more, an object longer than `objectMax`, an empty host
// and a port that `syntax` does not accept or that lies above 65535.
std::optional<HttpTarget> ParseHttpUrl(std::wstring_view url, PortSyntax syntax = PortSyntax::LikeWtoi,
                                       size_t objectMax = kHttpObjectMax);
