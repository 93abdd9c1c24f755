#pragma once

#include <string>

// The check for the running program: expected tag from the control block's
// `ExpectedTag`, version from `ClientVersion`, the MD5 digest of the file
// that GetModuleFileName names. Non-zero when an update is needed.
int CheckUpdate();

// Starts `programPath` /update at idle priority and returns without waiting;
// false when the process could not be started.
bool StartUpdateProcess(const std::wstring& programPath);

// Starts this program again in update mode; the caller then exits.
bool RestartForUpdate();
