#pragma once

#include <windows.h>

#include <cstddef>

// Decodes PNG bytes (any colour type or depth) straight into a top-down
// 32-bit DIB section of premultiplied BGRA pixels, as UpdateLayeredWindow
// takes them. Null when the bytes are no image or a step fails; `size` then
// stays untouched. The common kind goes through png::DecodePremultipliedBgra,
// every other through the Windows Imaging Component.
HBITMAP DecodePremultipliedPng(const void* bytes, size_t byteCount, SIZE* size);

// The same through the Windows Imaging Component alone: one decode and one
// conversion into the section. A GDI+ bitmap would hold a second full copy
// and convert it pixel by pixel.
HBITMAP DecodePremultipliedPngWithWic(const void* bytes, size_t byteCount, SIZE* size);
