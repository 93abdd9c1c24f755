#pragma once

#include <windows.h>

#include <memory>
#include <mutex>

#include "app/update_query.h"

// The update check off the window's thread: it may wait on the portal. The
// answer arrives as `message` posted to the window, wParam the start's
// `background` flag, lParam 1 when an update is needed; Answer() then holds
// it. One check at a time: a user's start during a background check takes
// over that check's answer.
class CUpdateQuery {
public:
    bool Start(HWND window, UINT message, bool background);
    bool Running() const;
    UpdateAnswer Answer() const;

private:
    struct CState {
        mutable std::mutex lock;
        bool running = false;
        UpdateAnswer answer;
        HWND window = nullptr;
        UINT message = 0;
        bool background = false;
    };
    static DWORD WINAPI Thread(LPVOID state);

    std::shared_ptr<CState> m_state = std::make_shared<CState>();
};
