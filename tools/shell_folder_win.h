#pragma once

#include <string>

// A shell folder's path by its CSIDL, never creating it; empty when the
// system has none.
std::wstring ShellFolderPath(int csidl);
