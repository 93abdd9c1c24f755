#include "app/beacon_sender_win.h"

#include <chrono>
#include <thread>

#include "app/beacon_urls.h"
#include "net/http_get_win.h"

std::shared_ptr<CBeaconEvents> CBeaconEvents::Create() {
    fw::ScopedKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) return nullptr;
    try {
        return std::make_shared<CBeaconEvents>(CKey(), std::move(done));
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

void SendBeacon(const std::wstring& url, const std::shared_ptr<CBeaconEvents>& events, size_t urlMax) {
    std::function<std::wstring()> copy;
    try {
        copy = [url] { return url; };
    } catch (...) {
        // No copy: nothing is sent, but waiters still wake.
    }
    SendBeaconBuiltOnThread(std::move(copy), events, urlMax);
}

void SendBeaconBuiltOnThread(std::function<std::wstring()> makeUrl, const std::shared_ptr<CBeaconEvents>& events,
                             size_t urlMax) {
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
        // Whatever the URL is made from is held by the thread before it
        // exists, so the caller's values may go as soon as this returns. Not
        // waiting for the thread to run matters to start-up: a thread start
        // costs several milliseconds under Wine, and more while another
        // beacon loads its libraries.
        std::thread([events, makeUrl = std::move(makeUrl), finish, urlMax] {
            try {
                const std::wstring url = makeUrl ? makeUrl() : std::wstring();
                if (!url.empty() && url.size() <= urlMax) HttpGet(url, L"", urlMax);
            } catch (...) {
                // Nothing to report: a beacon that fails is simply lost.
            }
            finish(events);
        }).detach();
    } catch (...) {
        // No thread: nothing is sent, but waiters must still wake.
        finish(events);
    }
}
