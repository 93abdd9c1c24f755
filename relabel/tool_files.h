#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// File handling the operator's tools share: UTF-8 paths, bounded reads, and
// outputs that appear whole or not at all.

std::filesystem::path PathFromUtf8(const std::string& text);

// The path as UTF-8 for messages; path::string() may throw on Windows for
// names outside the ANSI code page.
std::string Shown(const std::filesystem::path& path);

// The whole file in one read; false with a one-line reason when it cannot be
// read or is larger than `maxSize`.
bool ReadWholeFile(const std::filesystem::path& path, uintmax_t maxSize, std::vector<uint8_t>& bytes,
                   std::string& reason);

// Writes a temporary beside `out` and moves it over `out`; false (and no
// temporary left) on failure.
bool WriteAtomically(const std::filesystem::path& out, const std::vector<uint8_t>& bytes,
                     std::filesystem::perms perms);
