#pragma once

// CButton: a push button; owner-drawn buttons draw in DrawItem, which the
// parent hands back to the button's object (see CWnd::WindowProc).

#include "fw/wnd_win.h"

class CButton : public CWnd {
public:
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    virtual void DrawItem(DRAWITEMSTRUCT* item);

protected:
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};
