#include "app/message_box_win.h"

int ShowMessageBox(UINT style, const std::wstring& caption, const std::wstring& text) {
    return MessageBoxW(nullptr, text.c_str(), caption.c_str(), style);
}
