#pragma once

#include <cstdint>
#include <optional>

// The policy value "EnableLUA" that the user-account-control test reads;
// nothing when it cannot be read.
std::optional<uint32_t> ReadEnableLua();
