#pragma once

#include <optional>
#include <string>

#include "app/settings_store.h"
#include "login/bridge_command.h"

// The commands that only keep values for the page in the settings file:
// "saveinfo" and "setupkey" store, "readinfo", "read_key" and "loginnum"
// answer through a page function.

struct PageAnswer {
    const char* function;  // the page's script function
    std::wstring argument;
};

// Runs a settings command and returns the page's answer, if it has one.
// Other commands are left alone (nothing, no effect). A value longer than
// the 2,047 characters "readinfo" and "read_key" read back is not stored:
// the page would otherwise get a cut value back and take it for its own.
// "loginnum" counts from 1, treats unreadable or negative text as 0 and
// stops at 4294967295 instead of wrapping to 0.
std::optional<PageAnswer> RunSettingsCommand(const BridgeRequest& request, CSettings& settings);

// The login page's first-run test, made once per login page: true when
// "InstallTag" (default "1") begins with "1". It is then "0" whatever it
// was, so only the first login page after an install or update offers the
// newcomer's advert.
bool TakeFirstRun(CSettings& settings);
