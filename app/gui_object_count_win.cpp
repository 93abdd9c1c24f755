#include "app/gui_object_count_win.h"

namespace {

// A GDI handle's table slot is its low word; Wine takes a handle whose high
// word is zero as naming the slot's current object, so every slot can be
// asked without knowing its generation.
constexpr unsigned kGdiSlots = 0x10000;
// USER handles are even slot numbers from 0x20 below 0xFFF0, read the same way.
constexpr unsigned kFirstUserHandle = 0x20;
constexpr unsigned kLastUserHandle = 0xFFEF;

HANDLE Slot(unsigned slot) { return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(slot)); }

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++*reinterpret_cast<unsigned*>(param);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM param) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<unsigned*>(param);
    EnumChildWindows(window, CountChild, param);
    return TRUE;
}

bool IsIconOrCursor(HANDLE handle) {
    ICONINFO info{};
    if (!GetIconInfo(static_cast<HICON>(handle), &info)) return false;
    // The answer carries copies of the image's bitmaps.
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    return true;
}

}  // namespace

unsigned CountGdiObjects() {
    unsigned count = 0;
    for (unsigned slot = 0; slot < kGdiSlots; ++slot) {
        if (GetObjectType(static_cast<HGDIOBJ>(Slot(slot))) != 0) ++count;
    }
    return count;
}

unsigned CountUserObjects() {
    unsigned count = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (unsigned h = kFirstUserHandle; h <= kLastUserHandle; h += 2) {
        if (IsMenu(static_cast<HMENU>(Slot(h))) || IsIconOrCursor(Slot(h))) ++count;
    }
    return count;
}

UINT GuiObjectCountMessage() {
    static const UINT message = RegisterWindowMessageW(L"Corvane.GuiObjectCount");
    return message;
}

bool AnswerGuiObjectCount(UINT msg, WPARAM wp, LRESULT* result) {
    if (msg == 0 || msg != GuiObjectCountMessage()) return false;
    *result = static_cast<LRESULT>(wp == 0 ? CountGdiObjects() : CountUserObjects());
    return true;
}
