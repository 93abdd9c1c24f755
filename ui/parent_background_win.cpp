#include "ui/parent_background_win.h"

void PaintParentBackground(HWND child, HDC dc) {
    const HWND parent = GetParent(child);
    if (parent == nullptr) return;
    RECT own{};
    RECT outer{};
    if (!GetWindowRect(child, &own) || !GetWindowRect(parent, &outer)) return;
    POINT old{};
    SetWindowOrgEx(dc, own.left - outer.left, own.top - outer.top, &old);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetWindowOrgEx(dc, old.x, old.y, nullptr);
}
