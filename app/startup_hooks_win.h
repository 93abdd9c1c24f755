#pragma once

#include <memory>

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
// folder with its shortcuts, registry values and icon, and starts the
// installed copy when the build asks for it.
void RunInstallStep();

// Confirmed uninstall: removes what the install step made, sends the
// "uninstall.htm" beacon (request-done is signalled when it ends) and shows
// the final message.
void RunUninstallStep(const std::shared_ptr<CBeaconEvents>& events);

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
