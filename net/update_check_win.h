#pragma once

#include <string>

// The check for the running program: the build's expected tag and client
// version, the MD5 digest of the file that GetModuleFileName names. Non-zero
// when an update is needed; an empty expected tag means up to date.
int CheckUpdate(const std::wstring& expectedTag, const std::wstring& clientVersion);

// Starts `programPath` /update at idle priority and returns without waiting;
// false when the process could not be started.
bool StartUpdateProcess(const std::wstring& programPath);

// Starts this program again in update mode; the caller then exits.
bool RestartForUpdate();
