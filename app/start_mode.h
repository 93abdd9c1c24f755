#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

enum class StartMode {
    FirstRun = 0,
    WebStart = 1,
    ShortcutStart = 2,
    InstalledStart = 3,
    UninstallStart = 4,
    UpdateStart = 5,
    NewGameStart = 6,
    HallStart = 7,
    LogoStart = 8,
};

struct StartRequest {
    StartMode mode = StartMode::FirstRun;
    // Set by the hall switches: the calling game hall's window and, for
    // "/newgm", the game address to open.
    intptr_t hallWindow = 0;
    std::wstring gameAddress;
};

inline constexpr std::wstring_view kWebSwitch = L"/web7251D";

// Argument buffers of the hall switches: a longer argument is cut to them.
inline constexpr size_t kHallWindowArgMax = 15;
inline constexpr size_t kGameAddressArgMax = 2047;

// True when the install folder (the common application-data folder and
// "\7251\GameLogin"), upper-cased, occurs in the program's path, upper-cased.
bool IsInInstallFolder(std::wstring_view exePath, std::wstring_view commonAppData);

// `args` is the command line with the program at index 0. Only the first
// argument selects a mode, compared without regard to case; an unknown one is
// ignored. A missing hall argument reads as empty.
StartRequest DecideStartMode(std::span<const std::wstring> args, std::wstring_view launchSwitch,
                             std::wstring_view exePath, std::wstring_view commonAppData);
