#pragma once

// The hotkeys in the settings file and the process-wide copy that the
// keyboard hook and the main frame read.

#include "app/settings_store.h"
#include "tools/hotkey.h"
#include "tools/hotkey_rules.h"

// One stored hotkey (at most 31 characters read), its default when absent.
Hotkey ReadHotkey(const CSettings& settings, const SettingKey& key);

// Reads the boss, window-switch and sound keys, in that order, into the
// process-wide hotkeys.
void LoadHotkeys(const CSettings& settings);

// The process-wide hotkeys: read by the hook and the frame on the interface
// thread, changed only by LoadHotkeys on the same thread.
const Hotkeys& CurrentHotkeys();
