#pragma once

#include <string>

#include "app/ctrl_block.h"
#include "app/settings_store.h"

// Follows the portal's desktop-icon description: when its time differs from
// the stored "iconTime" and its icon downloads beside `programPath`, the
// shortcuts of the old name are replaced by ones of the new name with the new
// icon, and the new time and name are stored. Anything short of that changes
// nothing. True when the shortcuts were replaced.
bool FollowIconDescription(const CCtrlBlock& block, const std::wstring& programPath, const std::wstring& portalHost,
                           CSettings& settings);

// Asks the desktop to reread its items (the deleted shortcuts vanish at once).
void RefreshDesktopItems();
