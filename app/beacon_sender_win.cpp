#include "app/beacon_sender_win.h"

#include <chrono>
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
    try {
        std::thread([events, source = &url, finish] {
            // The caller waits for request-taken, so its URL outlives this copy.
            std::wstring copy;
            try {
                if (source->size() <= kBeaconUrlMax) copy = *source;
            } catch (...) {
                copy.clear();
            }
            SetEvent(events->Taken());
            try {
                if (!copy.empty()) HttpGet(copy, L"");
            } catch (...) {
                // Nothing to report: a beacon that fails is simply lost.
            }
            finish(events);
        }).detach();
    } catch (...) {
        // No thread: nothing is sent, but waiters must still wake.
        finish(events);
        return;
    }
    WaitForSingleObject(events->Taken(), INFINITE);
    ResetEvent(events->Taken());
}
