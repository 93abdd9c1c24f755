#pragma once

#include <filesystem>

// Moves `from` over `to` in one step, replacing an existing `to`. Both lie in
// the same folder, so readers see the old file or the new one, never half.
bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to);
