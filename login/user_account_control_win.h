#pragma once

#include <cstdint>
#include <optional>

// What the user-account-control test reads from the system: the real
// Windows major version (not the one the manifest makes GetVersionEx
// report), and the policy value "EnableLUA"; nothing when it cannot be read.
unsigned WindowsMajorVersion();
std::optional<uint32_t> ReadEnableLua();
