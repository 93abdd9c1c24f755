#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/code_page.h"

// "loadgame": the page sends "app:" + two characters + "loadgame" + one
// character + label + "|" + game-page address. The label names the login
// for the main frame (server + "服-" + middle + "-" + account), which refuses
// a label it already shows; so a label is refused rather than ever changed
// into another one.

struct LoadGameParts {
    std::wstring label;        // positions 15 up to the first "|" there; empty without "|"
    std::wstring pair;         // "logingame=..." as the frame passes it to the game
    std::wstring gameAddress;  // the pending game-page address
};

// The tail after the "|" up to its end holds the game address; its first
// "logingame=" up to the end of the tail is the login-game pair, and every
// "&" + pair is cut out of the address. A tail without "logingame=", or one
// that begins with it, gives the pair "logingame=7251" and the tail itself.
LoadGameParts SplitLoadGame(std::wstring_view url);

// The page may percent-encode the label's UTF-8 bytes. A label with "%" is
// turned into bytes in the thread's code page (at most 255), unescaped and
// read as UTF-8. Refused (nothing): a label whose code-page form is longer,
// holds a character the code page lacks, or does not decode to valid UTF-8;
// and a decoded label holding "|" or a control character, which would split
// or end the login text at the main frame. A label without "%" is returned
// unchanged unless it holds such a control character.
inline constexpr size_t kLabelBytesMax = 255;
std::optional<std::wstring> DecodeLabel(std::wstring_view label, const ICodePage& threadAnsi);

struct LoginLabel {
    std::wstring server;   // every "S" removed ("S12" is server 12)
    std::wstring middle;   // after a "》", at most the four characters that follow it
    std::wstring account;
};

// Splits at the first "服-" and the first "-" after it. Without "服-" the
// server is empty and the middle starts at position 1, as the page's own
// client always read it; without a later "-" the middle is empty and the
// account is the whole label.
LoginLabel ParseLabel(std::wstring_view label);

// server + "服-" + middle + "-" + account.
std::wstring FormatLabel(const LoginLabel& label);

// label "||" Pauth cookie "||" ptusertype cookie "||" pair (each cookie as
// name, "=" and value), the message the main frame splits at its first three
// "||", never longer than the frame takes (kLoginTextMaxChars): a text it
// refused would read to the user as a login already open. A cookie that no
// longer fits goes out empty, as an unreadable one does, never cut: a cut
// token would log the game in as nobody, or as someone else. Nothing when the
// label and the pair alone do not fit.
std::optional<std::wstring> BuildLoginText(const LoginLabel& label, std::wstring_view pauthCookie,
                                           std::wstring_view ptusertypeCookie, std::wstring_view pair);

// The notice for a label the main frame already shows.
std::wstring DuplicateLoginMessage(const LoginLabel& label);
