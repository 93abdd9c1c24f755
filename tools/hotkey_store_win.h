#pragma once

// The hotkeys of the running program: kept in "Statistic.ini" beside the
// executable, in the build's section.

#include <windows.h>

#include "app/settings_store.h"
#include "app/settings_store_win.h"
#include "tools/hotkey.h"

// The settings that hold the hotkeys.
CSettings HotkeySettings();

// One stored hotkey from those settings (the tool menu shows the boss key's
// name with it).
Hotkey ReadHotkey(const SettingKey& key);

// Reloads the process-wide hotkeys from those settings.
void LoadHotkeys();

// Whether a key message of this thread is the window-switch key, with the
// modifiers as this thread's messages left them. The frame leaves out the
// key messages it posts to itself before asking.
bool IsWindowSwitchKey(UINT message, WPARAM vk);

// Asks the running clients of this build to reload their hotkeys.
inline constexpr UINT kMsgReloadHotkeys = WM_USER + 4;

// Posts kMsgReloadHotkeys to the top-level dialogs titled with this build's
// TitleName (the main frames of its running clients, this one's included),
// at most 10 of them. Returns how many were asked.
int BroadcastHotkeyReload();
