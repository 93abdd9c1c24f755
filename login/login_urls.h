#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/beacon_urls.h"
#include "app/ctrl_block.h"

// The addresses the login page opens.

// The login page: the configured address, then the device and channel
// parameters with no separator (the configured address ends where they can
// follow), "&toAd=1" on the first login page after an install when no game
// page is open, and "&autorun=1" or "&autorun=0". Every part is bounded at
// its source (slots of 255 bytes, a device identity of fixed sizes), so the
// address is appended whole, never cut.
std::wstring LoginPageAddress(std::wstring_view loginPageUrl, std::wstring_view deviceParams, bool firstRun,
                              int openPageCount, bool autostart);
// The same for this build: its LoginPageUrl and its device parameters.
std::wstring LoginPageAddress(const CCtrlBlock& block, const DeviceIdentity& device, bool firstRun, int openPageCount,
                              bool autostart);

// The event beacon of "exitgame": event 115 "关闭客户端" on the build's own
// channel, with the adapter address as the user session.
std::wstring ExitGameBeaconUrl(const CCtrlBlock& block, std::wstring_view mac);

// The cookie `name` as "name=value" out of a cookie text "a=1; b=2", as the
// system gives it when asked for one cookie by name (one entry) or, on some
// systems, for all of the address's cookies; empty when it is not there.
// Names compare exactly: "Pauth" is not "pauth" nor "XPauth".
std::wstring NamedCookie(std::wstring_view cookies, std::wstring_view name);

// The value of a cookie read as name "=" value: the text after the name's
// length plus one, as the reader always took it; empty for a shorter text.
std::wstring CookieValue(std::wstring_view cookie, std::wstring_view name);

// Read buffers of the "redrict:" command, in characters with the terminator.
inline constexpr size_t kRedirectPauthBuffer = 1024;
inline constexpr size_t kRedirectPtusertypeBuffer = 256;
inline constexpr size_t kAutoLoginBuffer = 2048;

// The portal's auto-login address for "redrict:", which opens `target` in the
// user's browser already logged in: "http://" + portal host +
// "/user/?_c=hallClient&_a=autoLogin&pauth=%s&url=%s&ptusertype=%s" with the
// cookie values and the UTF-8 percent-encoded target. Nothing, rather than
// a cut address, when a cookie does not fit its read buffer, the encoded
// target does not fit 2,048 characters or the address does not fit
// kAutoLoginBuffer.
std::optional<std::wstring> AutoLoginUrl(std::wstring_view portalHost, std::wstring_view pauthCookie,
                                         std::wstring_view ptusertypeCookie, std::wstring_view target);
