#pragma once

// CStatic: a static control (text, image or frame) created as a child.

#include "fw/wnd_win.h"

class CStatic : public CWnd {
public:
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
};
