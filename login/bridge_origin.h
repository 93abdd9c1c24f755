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

// Where the operator serves its pages from.
struct OperatorHosts {
    std::wstring_view loginPageUrl;  // a full address: only its host and port count
    std::wstring_view portalHost;    // "host[:port]", no scheme, read as an "http://" authority
    std::wstring_view partnerHost;   // the partner-login service, the same form
};

// True when `documentUrl` lies on the host (and port) of the login page or on
// the portal host: the pages that may drive the client. Scheme and path play
// no part; host names compare without regard to ASCII case; "127.0.0.1:7251"
// and "127.0.0.1" are different origins. A document with no web address
// (empty, "about:blank") is refused.
bool IsOperatorPage(std::wstring_view documentUrl, const OperatorHosts& hosts);

// One BeforeNavigate2 as the control reports it.
struct FrameNavigation {
    std::wstring_view topDocument;    // what the control's top-level frame shows now
    std::wstring_view frameDocument;  // what the navigated frame shows now (the top one's when it is the top)
    std::wstring_view target;         // where it is about to go
    bool subFrame = false;            // an embedded frame, not the top-level one
};

// True when an embedded frame is about to load something that is not the
// operator's: only operator pages, the partner-login service and
// "about:blank" may stand in a frame of the login and partner windows. A
// foreign frame inside the operator's page could otherwise navigate the top
// frame to an "app:" address, which the top frame's own document vouches for.
bool IsForeignSubFrame(const FrameNavigation& navigation, const OperatorHosts& hosts);

enum class LoginNavigation {
    Go,      // the browser navigates
    Cancel,  // nothing happens
    Carry,   // cancelled, and the command or partner-login start is carried out
};

// The login page's decision. An "app:" address or a partner-login start is
// always cancelled, and carried out only when both the top-level document and
// the navigated frame's are operator pages: a foreign top page may navigate a
// frame that holds an operator page. A foreign embedded frame does not load;
// the top frame goes anywhere else.
LoginNavigation JudgeLoginNavigation(const FrameNavigation& navigation, const OperatorHosts& hosts);
