#pragma once

// The system's key state behind the hotkey rules' seam.

#include <windows.h>

#include "tools/hotkey_rules.h"

// The keys as this thread's messages left them: right for a window that is
// processing its own key messages (the settings dialog, the frame's
// pre-translation).
class CThreadKeyState final : public IKeyState {
public:
    bool IsDown(int vk) const override { return (GetKeyState(vk) & 0x8000) != 0; }
};

// The keyboard as it is now. A low-level hook sees keys meant for other
// programs, and its own thread's state is not brought up to date for those:
// only this state says whether Ctrl is held while another window has the
// focus.
class CAsyncKeyState final : public IKeyState {
public:
    bool IsDown(int vk) const override { return (GetAsyncKeyState(vk) & 0x8000) != 0; }
};
