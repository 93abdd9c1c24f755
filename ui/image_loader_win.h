#pragma once

#include <windows.h>

// Loads skin image `id` of `module`: a BITMAP resource of that id if there is
// one, else the "PNG" resource of that id decoded with GDI+ into a 32-bit
// bitmap whose transparent pixels are magenta (see skin::KeyedPixel). The
// caller owns the bitmap (DeleteObject). Returns nullptr when there is no
// such resource or it cannot be decoded.
HBITMAP LoadSkinImage(HMODULE module, UINT id);
