#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/after_face_work.h"
#include "app/beacon_sender_win.h"
// The start-up bounds the browser cache with SetCacheLimit from the cache cleaning.
#include "tools/cache_clean_win.h"

// The steps of a start that belong to parts of the client built elsewhere.
// Each is called from its place in the start-up; those whose part has not
// landed yet do nothing.

// Installs the handler that writes a minidump on a crash.
void InstallCrashFilter();

// First run outside the install folder: copies the program into the install
// folder with its shortcuts, registry values and icon (in an elevated copy
// when this process is not elevated), and starts the installed copy when
// the build asks for it. False, after a notice, when nothing was installed.
bool RunInstallStep();

// Confirmed uninstall: removes what the install step made and shows the
// final message (in an elevated copy when this process is not elevated),
// then sends the "uninstall.htm" beacon (request-done is signalled when it
// ends). False, after a notice and with no beacon, when nothing was removed.
bool RunUninstallStep(const std::shared_ptr<CBeaconEvents>& events);

// The elevated copy's work when the command line names it: its exit code;
// -1 for every other start.
int RunElevatedCopyWork(const std::vector<std::wstring>& args);

// Shortcut and installed starts: follows the portal's desktop-icon
// description. Runs on a worker beside the login face.
void RefreshDesktopIcon();

// "/Logo": runs the logo window modally over the desktop icon, before the
// main frame. False when another logo window of this build runs: the start
// then ends without a main frame.
bool RunLogoWindow();

// Starts decoding the login face's picture on a worker, for a start that
// will show the main frame; ReleasePreloadedSkins waits for the worker and
// frees what was not used. Both while GDI+ is started.
void PreloadMainFrameSkins();
void ReleasePreloadedSkins();

// Runs the main frame modally until the client is left; `afterFace` starts
// once its login face shows.
void RunMainFrame(CAfterFaceWork& afterFace);
