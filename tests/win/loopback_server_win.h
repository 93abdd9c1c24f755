#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A Winsock HTTP server on 127.0.0.1 for the Windows tests: each connection's
// request header is read and recorded, then the test's handler writes what it
// likes and the connection is closed.
class CWinLoopbackServer {
public:
    class CConn {
    public:
        explicit CConn(uintptr_t sock) : m_sock(sock) {}
        bool Send(const std::string& bytes);
        bool Drip(const std::string& bytes, size_t piece, int pauseMs);
        bool Reply(const std::string& statusLine, const std::string& body, const std::string& extraHeaders = "");

    private:
        uintptr_t m_sock;
    };
    using Handler = std::function<void(CConn& conn, const std::string& request)>;

    explicit CWinLoopbackServer(Handler handler);
    ~CWinLoopbackServer();
    CWinLoopbackServer(const CWinLoopbackServer&) = delete;
    CWinLoopbackServer& operator=(const CWinLoopbackServer&) = delete;

    std::string HostPort() const;
    std::wstring Url(const std::string& path) const;
    std::vector<std::string> Requests() const;
    size_t RequestCount() const;
    // Ends handlers that wait on it (a slow drip).
    void Stop() { m_stop = true; }
    bool Stopping() const { return m_stop; }

private:
    void Serve();

    Handler m_handler;
    uintptr_t m_listen = 0;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    std::vector<std::string> m_requests;
    std::vector<std::thread> m_workers;
    std::thread m_thread;
};

std::string RequestHeader(const std::string& request, const std::string& name);
std::string PatternBytes(size_t size);
