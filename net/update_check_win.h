#pragma once

#include <string>

#include "net/update_check.h"

// The check for the running program: expected tag from the control block's
// `ExpectedTag`, version from `ClientVersion`, the digest of the file that
// GetModuleFileName names. Non-zero when an update is needed.
int CheckUpdate(const FileDigest& digest);

// Starts `programPath` /update at idle priority and returns without waiting;
// false when the process could not be started.
bool StartUpdateProcess(const std::wstring& programPath);

// Starts this program again in update mode; the caller then exits.
bool RestartForUpdate();
