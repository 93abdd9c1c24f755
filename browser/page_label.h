#pragma once

// The label of a game page is server + "服-" + middle + "-" + account, as the
// login page sends it; the frame shows parts of it in its account label, its
// tabs and its online-time beacon.

#include <string>
#include <string_view>

// The text after the label's last "-" (the whole label without one).
std::wstring AccountOfLabel(std::wstring_view label);

// The text before the label's first "服-"; empty without one.
std::wstring ServerOfLabel(std::wstring_view label);

// The account label's text: longer than 11 characters, the first 8 and "...".
std::wstring AccountLabelText(std::wstring_view account);

// A tab's title: wider than 145 pixels as measured, the first 14 characters
// and "...".
inline constexpr int kTabTitleMaxWidth = 145;
std::wstring TabTitleText(std::wstring_view title, int measuredWidth);
