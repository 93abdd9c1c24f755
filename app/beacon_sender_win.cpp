#include "app/beacon_sender_win.h"

#include <chrono>
#include <future>
#include <thread>

#include "app/beacon_urls.h"
#include "net/http_get_win.h"

std::shared_ptr<CBeaconEvents> CBeaconEvents::Create() {
    fw::ScopedKernelHandle taken(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    fw::ScopedKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!taken || !done) return nullptr;
    try {
        return std::make_shared<CBeaconEvents>(CKey(), std::move(taken), std::move(done));
    } catch (...) {
        return nullptr;
    }
}

void CBeaconEvents::WaitDoneAndReset() {
    WaitForSingleObject(Done(), INFINITE);
    ResetEvent(Done());
}

bool CBeaconEvents::WaitIdle(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_lock);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_inFlight == 0; });
}

void SendBeacon(const std::wstring& url, const std::shared_ptr<CBeaconEvents>& events) {
    if (!events) return;
    {
        std::lock_guard<std::mutex> lock(events->m_lock);
        ++events->m_inFlight;
    }
    auto finish = [](const std::shared_ptr<CBeaconEvents>& shared) {
        SetEvent(shared->Done());
        std::lock_guard<std::mutex> lock(shared->m_lock);
        if (--shared->m_inFlight == 0) shared->m_idle.notify_all();
    };
    std::future<void> started;
    try {
        // The thread gets its own copy before it starts: with several
        // senders at once the shared request-taken event may be another
        // beacon's, so it cannot tell a caller that its URL has been read.
        std::wstring copy;
        if (url.size() <= kBeaconUrlMax) copy = url;
        std::promise<void> taken;
        started = taken.get_future();
        std::thread([events, copy = std::move(copy), taken = std::move(taken), finish]() mutable {
            SetEvent(events->Taken());
            taken.set_value();
            try {
                if (!copy.empty()) HttpGet(copy, L"");
            } catch (...) {
                // Nothing to report: a beacon that fails is simply lost.
            }
            finish(events);
        }).detach();
    } catch (...) {
        // No copy or no thread: nothing is sent, but waiters must still wake.
        finish(events);
        return;
    }
    // Returning only once this beacon's own thread runs keeps the order in
    // which start-up starts its beacons; a wait on the shared event could
    // last for ever when another sender had reset it first.
    started.wait();
    ResetEvent(events->Taken());
}
