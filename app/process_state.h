#pragma once

#include <cstdint>
#include <string>

// Process-wide values that the start-up's command line sets and later windows
// read, all on the user-interface thread.

// The calling game hall's window from "/newgm" and "/gmhall"; 0 without one.
intptr_t& TheHallWindow();

// The game address a new game page opens: set by "/newgm" and by the login
// page, copied by each game page when it is created.
std::wstring& ThePendingGameAddress();

// The number of open game pages, published by the main frame each time it
// shows the login window and read by the login page.
int& TheOpenPageCount();
