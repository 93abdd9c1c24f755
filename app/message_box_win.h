#pragma once

#include <windows.h>

#include <string>

// Every question and notice of the client goes through here: `style` as for
// MessageBoxW (0 one OK button, MB_YESNO Yes and No), the result the button
// pressed (IDOK, IDYES, IDNO, ...). Shown by the system's box until the
// skinned one takes its place behind this same call.
int ShowMessageBox(UINT style, const std::wstring& caption, const std::wstring& text);
