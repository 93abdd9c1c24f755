#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/code_page.h"

// "setpauth": the portal's login token for the encrypted account entry. The
// text after the first "|" of the address (the whole address without one),
// from just after its first "pauth=", percent-decoded through the thread's
// code page, less its last character (the page closes the value with one).
// Nothing when there is no "pauth=": the entry is then left as it was
// instead of being overwritten with a piece of the address.
std::optional<std::wstring> DecodeSetPauth(std::wstring_view url, const ICodePage& threadAnsi);
