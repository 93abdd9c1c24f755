#pragma once

// The update check: does the portal (or the build's fixed ExpectedTag) name
// a program other than the running one? Its answer decides whether the
// client restarts with "/update".

#include <functional>
#include <string>

#include "app/day_rules.h"
#include "app/settings_store.h"

namespace settings {
// The day of the last background check, and the last version the user was
// asked about.
inline constexpr SettingKey kUpdateDay{L"UpdateDay", L"", 16};
inline constexpr SettingKey kUpdateAsked{L"UpdateAsked", L"", 256};
}  // namespace settings

struct UpdateQueryInput {
    std::wstring expectedTag;    // the ExpectedTag slot; set, it alone decides
    std::string updateKey;       // the UpdateKey slot; empty: no updates at all
    std::wstring clientVersion;  // the ClientVersion slot
    std::wstring programPath;    // the running program's file, for its version tag
};

struct UpdateAnswer {
    bool needed = false;
    std::wstring version;  // the described version when the portal decided, else empty
};

// Needed when the expected tag differs from the running program's version
// tag (without regard to case). The expected tag is the slot's when set,
// else the description's "tag" when its "version" is newer than this
// build's; a description that cannot be had or parsed, or names no newer
// version, means up to date. `fetchDescription` runs only when the portal
// decides.
UpdateAnswer QueryUpdate(const UpdateQueryInput& input, const std::function<std::string()>& fetchDescription);

// The background check runs once a day: true (and today stored) when the
// stored day is not today.
bool TakeDailyUpdateCheck(CSettings& settings, const CivilDate& today);

// A background find asks once per version: true (and the version stored)
// when the user has not been asked about `version` yet.
bool TakeUpdateQuestion(CSettings& settings, const std::wstring& version);
