#pragma once

// The two ways the screenshot tool hands over a selection: the clipboard and
// a BMP file chosen in the system's save dialog.

#include <windows.h>

#include <string>

#include "fw/handles_win.h"

// Puts `bitmap` on the clipboard as CF_BITMAP for `owner`, replacing what was
// there; the clipboard owns the bitmap once it took it. False when the
// clipboard could not be opened or refused the bitmap.
bool PutBitmapOnClipboard(HWND owner, fw::ScopedBitmap bitmap);

// Writes `bitmap` (selected into no DC) as an uncompressed BMP at the
// display's depth (24 bits where the display has fewer than 16). The file is
// written beside `path` and renamed into place, so a failed write leaves
// neither a partial file nor a changed old one. True only when the file is
// complete at `path`.
bool WriteBitmapAsBmp(HBITMAP bitmap, const std::wstring& path);

// The system's save dialog over `owner`, starting with `name`; on OK `name`
// holds the chosen path. False when the user cancelled.
bool AskShotFileName(HWND owner, std::wstring& name);
