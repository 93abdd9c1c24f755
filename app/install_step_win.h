#pragma once

#include <string>

#include "app/ctrl_block.h"

// The first run's install, in two parts. The machine's part needs an
// administrator's token; the user's part runs in the user's own process, so
// that the client it starts is never elevated.

// The machine's part: the install folder (with rights of its own), the
// shared settings file, the icon file, the copy of `programPath` (the
// running program) there, the autostart value (flag 11), the desktop,
// start-menu and uninstall shortcuts. Every item is tried whatever became of
// the others. True when the installed program is in place afterwards.
bool InstallForMachine(const CCtrlBlock& block, const std::wstring& programPath);

// The user's part: Quick Launch with pins (flag 7, below Windows 10) and the
// start of the installed copy (flag 3).
void InstallForUser(const CCtrlBlock& block, const std::wstring& programPath);

// Both parts in this process.
void InstallProgram(const CCtrlBlock& block, const std::wstring& programPath);

// The installed program's path for the running program `programPath`.
std::wstring InstalledProgramPath(const std::wstring& programPath);

// Makes the install folder, where the settings file lives, with its rights,
// and the settings file that every user may write; true when the folder
// exists afterwards.
bool CreateInstallFolder();
