#pragma once

// What the screenshot programs share: skin loading, PNG saving, a message pump.
#include <windows.h>

#include <string>

// A skin image of this program's resources (the caller owns it).
HBITMAP Png(UINT id);

// Writes `bitmap` as a PNG file through GDI+.
bool SavePng(HBITMAP bitmap, const std::wstring& path);

// Saves the screen's rectangle (x, y, width, height) as a PNG file.
bool SaveScreenArea(int x, int y, int width, int height, const std::wstring& path);

// Dispatches messages for about `milliseconds`, so windows paint before a shot.
void PumpFor(DWORD milliseconds);
