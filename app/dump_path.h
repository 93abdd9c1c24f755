#pragma once

#include <string>

// The crash dump's file: the program's path with its extension replaced by
// ".dmp". Empty when the program's file name has no extension; a dot in a
// folder name does not count, or the dump would land beside that folder
// under another name.
std::wstring DumpPathFor(const std::wstring& programPath);
