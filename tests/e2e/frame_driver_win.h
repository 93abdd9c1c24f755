#pragma once

// Driving a running client's main frame from another process, as a user's
// clicks and keys would: tabs, buttons, the tray menu, the game pages.
#include <windows.h>

#include <vector>

// The frame's game pages in creation order: popups it owns that host a
// browser directly (the login background holds the login dialog instead).
std::vector<HWND> GamePages(HWND frame);
HWND VisiblePage(HWND frame);

// A press on tab `index`; the strip is caption to the system, so the press
// arrives as a non-client one.
void PressTab(HWND frame, int index);
void ClickButton(HWND frame, int id);

// A popup menu of the process being shown, or none.
HWND ShownMenu(DWORD processId);
// Opens the tray menu and picks its last item ("退出"), as the keyboard
// would; false when no menu came up.
bool ChooseLastTrayItem(HWND frame, DWORD processId);
