#pragma once

#include <chrono>
#include <functional>
#include <memory>

// Work a start owes that the login face must not wait for (the desktop-icon
// refresh, checks against the operator's servers): handed in before the main
// frame runs, each piece started on a worker of its own once the frame shows
// its login face, so that a slow or silent server costs the face nothing and
// the workers do not compete with the face for the processor while it is
// made. The process waits for unfinished work at its end, a bounded time.
class CAfterFaceWork {
public:
    CAfterFaceWork();
    CAfterFaceWork(const CAfterFaceWork&) = delete;
    CAfterFaceWork& operator=(const CAfterFaceWork&) = delete;

    // Before Start: kept for it. After: started at once.
    void RunAfterLoginFace(std::function<void()> work);
    // Starts what was handed in; later calls do nothing.
    void Start();
    // True when no started work is left running within `timeout`. Work that
    // is still running then keeps what it needs alive by itself.
    bool WaitIdle(std::chrono::milliseconds timeout);

private:
    struct State;
    void Launch(std::function<void()> work);

    std::shared_ptr<State> m_state;
};
