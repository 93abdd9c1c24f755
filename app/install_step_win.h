#pragma once

#include <string>

#include "app/ctrl_block.h"

// The first run's install: the install folder, the icon file, the copy of
// `programPath` (the running program) there, the autostart value (flag 11),
// the desktop, start-menu and uninstall shortcuts, Quick Launch with pins
// (flag 7, below Windows 10), and the start of the installed copy (flag 3).
// Every item is tried whatever became of the others.
void InstallProgram(const CCtrlBlock& block, const std::wstring& programPath);

// Makes the install folder, where the settings file lives, if it is missing;
// true when it exists afterwards.
bool CreateInstallFolder();
