#pragma once

#include <windows.h>

#include <string>

// Finds a desktop item by its label in the shell's list view, which lives in
// another process, and gives the screen area of its icon (the item's bounds
// less its label).

// The desktop's list view, or null.
HWND FindDesktopListView();

// True when an item's text equals `label` without regard to case; `rect` is
// then its icon area. Not found leaves `rect` zeroed whenever the list view's
// process could be opened. `layout64` is the pointer width of the list view's
// process, in which its item record is read.
bool FindDesktopIcon(const std::wstring& label, RECT& rect, bool layout64);

// The same with the record layout of the list view's own process: a 64-bit
// client must use the 64-bit layout with a 64-bit desktop whatever its own
// WOW64 state says.
bool FindDesktopIcon(const std::wstring& label, RECT& rect);
