#pragma once

#include <optional>
#include <string>
#include <string_view>

// Which pages may drive the bridge. Any page the login window shows, an
// embedded frame of another site included, can navigate to "app:" addresses;
// only the operator's own pages may have them carried out, or a foreign page
// could set autostart, write settings or open game pages.

// The authority of an "http://" or "https://" address as "host" or
// "host:port": host in ASCII lower case, a port equal to its scheme's default
// dropped, leading zeros of a port dropped. Nothing for any other scheme, an
// empty host, user information ("user@host", which a reader may take for the
// host), a port that is not 1 to 65535 in at most five digits, or characters
// a host cannot hold. The authority ends at the first "/", "\", "?" or "#":
// browsers read "\" as "/" in web addresses.
std::optional<std::wstring> WebAuthority(std::wstring_view url);

// True when the navigating frame's current document lies on the host (and
// port) of `loginPageUrl` or on `portalHost` ("host[:port]", no scheme, read
// as an "http://" authority). Scheme and path play no part; host names
// compare without regard to ASCII case; "127.0.0.1:7251" and "127.0.0.1" are
// different origins. A document with no web address (empty, "about:blank")
// is refused.
bool IsBridgeOriginAllowed(std::wstring_view currentDocumentUrl, std::wstring_view loginPageUrl,
                           std::wstring_view portalHost);
