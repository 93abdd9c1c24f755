#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "app/beacon_urls.h"
#include "fw/handles_win.h"

// The manual-reset event that beacon threads signal when their request has
// ended (request done), on which start-up and uninstall wait. Shared: a beacon
// thread keeps the events alive while it runs, so a beacon still in flight
// when the application lets go of them never signals a closed handle.
class CBeaconEvents {
public:
    static std::shared_ptr<CBeaconEvents> Create();
    CBeaconEvents(const CBeaconEvents&) = delete;
    CBeaconEvents& operator=(const CBeaconEvents&) = delete;

    HANDLE Done() const { return m_done.Get(); }

    // Waits until some beacon's request has ended, then resets request-done.
    void WaitDoneAndReset();

    // Waits up to `timeoutMs` for every beacon thread to end; true if none is
    // left. Lets a process that ends right after an unwaited beacon still
    // deliver it.
    bool WaitIdle(DWORD timeoutMs);

    // Only Create makes one; the key keeps the constructor out of other hands
    // while std::make_shared can still call it.
    class CKey {
        friend class CBeaconEvents;
        CKey() = default;
    };
    CBeaconEvents(CKey, fw::ScopedKernelHandle done) : m_done(std::move(done)) {}

private:
    friend void SendBeaconBuiltOnThread(std::function<std::wstring()> makeUrl,
                                        const std::shared_ptr<CBeaconEvents>& events, size_t urlMax);

    fw::ScopedKernelHandle m_done;
    std::mutex m_lock;
    std::condition_variable m_idle;
    int m_inFlight = 0;
};

// Sends a GET for `url` on a thread of its own, which is given its own copy
// of the URL before it starts, so any number of threads may send at once and
// the caller returns without waiting for the thread to run. Request-done is
// signalled when the request has ended, also when it failed or was refused:
// a URL longer than `urlMax` (its kind's bound, app/beacon_urls.h) is not sent.
void SendBeacon(const std::wstring& url, const std::shared_ptr<CBeaconEvents>& events,
                size_t urlMax = kBeaconUrlMax);

// As SendBeacon, but the URL is made by `makeUrl` on the beacon's thread,
// for URLs that carry parts read off the machine (the adapter list alone
// takes milliseconds to read), which then cost the caller nothing.
void SendBeaconBuiltOnThread(std::function<std::wstring()> makeUrl, const std::shared_ptr<CBeaconEvents>& events,
                             size_t urlMax = kBeaconUrlMax);
