#pragma once

#include <windows.h>

#include <string>

// Every question and notice of the client goes through here, in the skinned
// box: `style` as for MessageBoxW (0 one OK button, MB_OKCANCEL, MB_YESNO),
// the result the button pressed (IDOK, IDCANCEL, IDYES, IDNO); closing the box
// from its caption answers IDCANCEL whatever the style.
int ShowMessageBox(UINT style, const std::wstring& caption, const std::wstring& text);
