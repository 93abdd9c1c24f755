#pragma once

// The desktop tools that the frame and its pages reach, one call each.

#include <windows.h>

// Ctrl+D in a game page: the favourites dialog, empty, over `parent` (the
// calling game hall's window, or none).
void OpenFavouriteDialog(HWND parent);

// Cleans the browser and Flash caches on a thread of its own and returns at
// once.
void StartCacheCleaning();
