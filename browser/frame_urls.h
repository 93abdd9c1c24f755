#pragma once

// The addresses the main frame sends and opens for a game page: the login
// and online-time beacons and the web shortcuts with automatic login.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/ctrl_block.h"
#include "browser/login_text.h"

// The statistics services read the account, server and login-game values
// as they come, so those stay unencoded; only a character that would end or
// split the request (controls, space, "#", "&") is percent-encoded.
std::wstring RequestSafe(std::wstring_view value);

// The game hall's own page on the client host: a game page that shows it
// keeps the browser's flat scroll bars.
std::wstring GameHallPageAddress(const CCtrlBlock& block);

// "login.htm" with the account and the page count after the login.
std::wstring PageLoginBeaconUrl(const CCtrlBlock& block, std::wstring_view account, int pageCount);

// Whole seconds between two tick counts, right across the counter's wrap.
uint32_t OnlineSeconds(uint32_t startTick, uint32_t nowTick);

// "/d.php?a=web.online&game=G&server=S<server>&length=N&cid=C" on the
// online-time host. The record was formatted into 256 characters: an address
// that does not fit gives nothing rather than a cut one.
inline constexpr size_t kOnlineUrlMax = 255;
std::optional<std::wstring> OnlineTimeUrl(const CCtrlBlock& block, std::wstring_view label,
                                          std::wstring_view loginGame, uint32_t seconds);

// The operator pages of the frame's web buttons, by the portal's type digit.
enum class WebShortcut { UserInfo = 1, Messages = 2, Pay = 3, NoviceCard = 4, Service = 5 };

// The page a shortcut opens, on the portal host (the pay page on the
// payment host).
std::wstring WebShortcutTarget(const CCtrlBlock& block, WebShortcut type, std::wstring_view loginGame);

// The portal's auto-login address that opens the shortcut's page logged in
// with the page's Pauth. The target is encoded into 512 characters and the
// address formatted into 511: nothing when either does not fit.
inline constexpr size_t kShortcutTargetCapacity = 512;
inline constexpr size_t kShortcutUrlMax = 511;
std::optional<std::wstring> WebShortcutUrl(const CCtrlBlock& block, WebShortcut type, const PageRecord& record);
