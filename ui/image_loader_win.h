#pragma once

#include <windows.h>

// Loads skin image `id` of `module`: a BITMAP resource of that id if there is
// one, else the "PNG" resource of that id decoded with GDI+ into a 32-bit
// bitmap whose transparent pixels are magenta (see skin::KeyedPixel). The
// caller owns the bitmap (DeleteObject). Returns nullptr when there is no
// such resource or it cannot be decoded.
HBITMAP LoadSkinImage(HMODULE module, UINT id);

// Loads the "PNG" resource `id` as a top-down 32-bit bitmap with
// premultiplied alpha, as layered windows take it (UpdateLayeredWindow with
// per-pixel alpha), and reports its size. nullptr when it cannot be loaded.
HBITMAP LoadAlphaImage(HMODULE module, UINT id, SIZE* size);

// The two decodes themselves, without a look at the start-up's preload
// (ui/image_preload_win.h), which runs them on its worker.
HBITMAP DecodeSkinImage(HMODULE module, UINT id);
HBITMAP DecodeAlphaImage(HMODULE module, UINT id, SIZE* size);
