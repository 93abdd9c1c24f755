#pragma once

#include <windows.h>

#include <string>

// Starts a program that was just copied or moved into place. Such a file may
// be held for a moment after its move (a virus scanner reading it on Windows,
// the server still settling its image under Wine), and its start then fails
// at once; a failed start is tried twice more, a second apart, before giving
// up. The process and thread handles are closed; true when it started.
bool StartFreshProgram(const std::wstring& program, std::wstring commandLine, DWORD creationFlags,
                       const STARTUPINFOW& startup);
