#pragma once

// Where the client's message boxes (and any other question it asks in a
// window of its own) stand: over the window the user is looking at, whole
// on that window's monitor, and above it even when it is topmost.

#include <windows.h>

// The window a box asked for over `preferred` belongs to: `preferred` when
// the user can see it, else the nearest of its owners the user can see (a
// login page not shown yet gives its background). When none can be seen,
// `preferred` itself, so that it still stays disabled while the box runs.
HWND MessageBoxOwner(HWND preferred);

// Places `box` over `owner` (none: the primary monitor): centred on it and
// moved whole into the work area of its monitor, and made topmost when the
// owner or one of its owners is topmost, whose window would otherwise cover
// the box. Call it before the box is shown.
void PlaceMessageBox(HWND box, HWND owner);
