#pragma once

#include <windows.h>

#include <cstddef>

// Decodes PNG bytes (any colour type or depth) with the Windows Imaging
// Component straight into a top-down 32-bit DIB section of premultiplied
// BGRA pixels, as UpdateLayeredWindow takes them. Null when the bytes are
// no image or a step fails; `size` then stays untouched.
//
// One decode and one conversion into the section: a GDI+ bitmap would hold
// a second full copy and convert it pixel by pixel, which for the login
// face's 1125 x 696 picture is most of its cost under Wine.
HBITMAP DecodePremultipliedPng(const void* bytes, size_t byteCount, SIZE* size);
