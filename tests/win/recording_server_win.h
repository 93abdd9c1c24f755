#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An HTTP server on 127.0.0.1 for tests: it records the head of every request
// it receives and answers "200 OK" with an empty body. Connections that send
// nothing (reachability probes) are counted but not recorded.
class CRecordingServer {
public:
    // Port 0 picks a free port.
    explicit CRecordingServer(uint16_t port = 0);
    ~CRecordingServer();
    CRecordingServer(const CRecordingServer&) = delete;
    CRecordingServer& operator=(const CRecordingServer&) = delete;

    bool IsListening() const { return m_listener != INVALID_SOCKET; }
    uint16_t Port() const { return m_port; }
    std::wstring HostPort() const { return L"127.0.0.1:" + std::to_wstring(m_port); }

    // Request heads (request line and header lines, CRLF kept) in arrival order.
    std::vector<std::string> Requests() const;
    // Just the request targets ("/x?y"), in arrival order.
    std::vector<std::string> Targets() const;
    int Connections() const { return m_connections; }

    // True once at least `count` requests have arrived.
    bool WaitForRequests(size_t count, DWORD timeoutMs) const;
    void Clear();

private:
    void Serve();
    void Handle(SOCKET client);

    SOCKET m_listener = INVALID_SOCKET;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_lock;
    mutable std::condition_variable m_arrived;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens (bound, then released).
uint16_t UnusedLoopbackPort();
