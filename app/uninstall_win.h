#pragma once

#include <string>

#include "app/ctrl_block.h"
#include "app/self_delete_batch.h"
#include "app/settings_store.h"

// The removal of what the install step and the icon refresh made, for the
// program at `programPath`: registry items, shortcuts (of the stored icon
// name, else of DisplayName), the stored icon values, the emptied start-menu
// folder, the icon and movie files beside the program and the autostart
// value; the program itself is left to the self-delete batch. Every item is
// tried whatever became of the others; registry items in both registry views.
// False, with nothing changed, when `programPath` names no folder.
bool UninstallProgram(const CCtrlBlock& block, const std::wstring& programPath, CSettings& settings);

// Writes the self-delete batch for `programPath` into the temporary folder
// and starts it hidden at idle priority; the batch's path, or empty when no
// safe batch could be written or started. Started last, once nothing holds
// the program but processes about to end: the batch gives up after
// `attempts` tries about a second apart.
std::wstring StartSelfDeleteBatch(const std::wstring& programPath, int attempts = self_delete::kAttempts);

// The final notice: "<title>已成功移除，部分文件将在程序退出…".
std::wstring UninstalledText(const std::wstring& title);
