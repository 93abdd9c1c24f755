#include "fw/static_win.h"

BOOL CStatic::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"STATIC", text, style, rect, parent != nullptr ? parent->m_hWnd : nullptr, id);
}
