#include "app/message_box_win.h"

#include "ui/message_box_win.h"

int ShowMessageBox(UINT style, const std::wstring& caption, const std::wstring& text, HWND owner) {
    return CMessageBox::Show(static_cast<int>(style), caption, text, owner);
}
