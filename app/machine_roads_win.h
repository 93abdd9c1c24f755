#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/ctrl_block.h"
#include "app/elevation_win.h"

// The first run and the uninstall change the machine (the shared install
// folder, the common desktop and programs folder, HKEY_LOCAL_MACHINE). That
// work runs in this process when it is elevated, else in an elevated copy
// started with a switch of our own; what belongs to the user (Quick Launch,
// the start of the installed client, the beacons) stays in the user's own
// process.

// The elevated copy's switches: never typed by users, never a start mode.
inline constexpr wchar_t kElevatedInstallSwitch[] = L"/corvane-elevated-install";
inline constexpr wchar_t kElevatedUninstallSwitch[] = L"/corvane-elevated-uninstall";

// Shows a notice to the user; the client passes its skinned box.
using Notice = std::function<void(const std::wstring& text)>;

// The notices of a road that could not do its machine work.
std::wstring InstallNeedsAdminText(const std::wstring& title);
std::wstring UninstallNeedsAdminText(const std::wstring& title);

// First run of `programPath`: the machine's part, then the user's. False,
// after the notice, when the machine's part was refused or failed: nothing
// of the user's part is done then.
bool RunInstallRoad(IElevation& elevation, const CCtrlBlock& block, const std::wstring& programPath,
                    const Notice& notice);

// Confirmed uninstall of `programPath`: the removal, the final notice and
// the self-delete batch, here or in the elevated copy. False, after the
// refusal's notice, when nothing was removed.
bool RunUninstallRoad(IElevation& elevation, const CCtrlBlock& block, const std::wstring& programPath,
                      const Notice& notice);

// In the elevated copy: the work its first argument names, with the exit
// code the waiting process reads (0 done); -1 when `args` (program first)
// name no such work.
int RunElevatedWork(const std::vector<std::wstring>& args, const CCtrlBlock& block, const std::wstring& programPath,
                    const Notice& notice);
