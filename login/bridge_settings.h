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

class ICodePage;

// Runs a settings command and returns the page's answer, if it has one.
// Other commands are left alone (nothing, no effect). A value that would not
// read back as it was given (ReadsBackIdentically, with the settings file's
// code page) is not stored: the page would otherwise get another value back
// and take it for its own, and a line break in it would write keys of its own.
// "loginnum" counts from 1, treats unreadable or negative text as 0 and
// stops at 4294967295 instead of wrapping to 0.
std::optional<PageAnswer> RunSettingsCommand(const BridgeRequest& request, CSettings& settings,
                                             const ICodePage& fileCodePage);

// The login page's first-run test, made once per login page: true when
// "InstallTag" (default "1") begins with "1". It is then "0" whatever it
// was, so only the first login page after an install or update offers the
// newcomer's advert.
bool TakeFirstRun(CSettings& settings);
