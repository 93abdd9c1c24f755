#pragma once

// The login text the login page sends the main frame: label "||" Pauth
// cookie "||" ptusertype cookie "||" login-game pair, each cookie and the
// pair as name "=" value.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The text of a WM_COPYDATA block: UTF-16 (little-endian) characters ending
// in exactly one NUL that the claimed size includes. Nothing for a block of
// odd size, one without that final NUL, one with a NUL before it, a text of
// unpaired surrogates or one longer than kLoginTextMaxChars: a sender that
// does not know the format gets no page.
inline constexpr size_t kLoginTextMaxChars = 8192;
std::optional<std::wstring> LoginTextFromCopyData(const void* data, size_t bytes);

struct LoginTextFields {
    std::wstring label;
    std::wstring pauth;       // "Pauth=..."
    std::wstring userType;    // "ptusertype=..."
    std::wstring loginGame;   // "logingame=..."
};

// Splits at the first three "||"; a missing separator leaves the rest empty.
LoginTextFields SplitLoginText(std::wstring_view text);

// What the frame keeps of a login per page: the three values without their
// names ("Pauth=", "ptusertype=", "logingame="). A field shorter than its
// prefix gives an empty value.
struct PageRecord {
    std::wstring pauth;
    std::wstring userType;
    std::wstring loginGame;
};
PageRecord PageRecordFrom(const LoginTextFields& fields);
