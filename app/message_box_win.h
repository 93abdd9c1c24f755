#pragma once

#include <windows.h>

#include <string>

// Every question and notice of the client goes through here, in the skinned
// box: `style` as for MessageBoxW (0 one OK button, MB_OKCANCEL, MB_YESNO),
// the result the button pressed (IDOK, IDCANCEL, IDYES, IDNO); closing the box
// from its caption answers IDCANCEL whatever the style. The box stands over
// `owner` (or, when the user cannot see it, over the nearest owner of it the
// user can see; none: the main window), which stays disabled while it runs.
int ShowMessageBox(UINT style, const std::wstring& caption, const std::wstring& text, HWND owner = nullptr);
