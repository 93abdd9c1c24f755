#pragma once

#include <windows.h>

// Has the parent of `child` paint its background into `dc` as if `dc` were
// the child's window area: the DC's window origin is moved by the child's
// offset within its parent (window rectangles, since skinned parents paint
// their skin in window coordinates), the parent gets WM_ERASEBKGND with the
// DC, and the origin is put back. A control that looks transparent shows
// exactly the part of the skin beneath it this way. Nothing happens for a
// window without a parent.
void PaintParentBackground(HWND child, HDC dc);
