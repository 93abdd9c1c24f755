#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/native/request_text.h"

// A Winsock HTTP server on 127.0.0.1 for the Windows tests: each connection's
// request head is read and recorded, then the test's handler writes what it
// likes (by default "200 OK" with an empty body) and the connection is
// closed. Connections that send nothing (reachability probes) are counted but
// not recorded.
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

    // Throws when no port can be had.
    explicit CWinLoopbackServer(Handler handler = AnswerOk);
    // On a fixed port, for a program whose control block names the host.
    CWinLoopbackServer(uint16_t port, Handler handler);
    ~CWinLoopbackServer();
    CWinLoopbackServer(const CWinLoopbackServer&) = delete;
    CWinLoopbackServer& operator=(const CWinLoopbackServer&) = delete;

    uint16_t Port() const { return m_port; }
    std::string HostPort() const;
    // "http://127.0.0.1:<port>" followed by `path`.
    std::wstring Url(const std::string& path) const;

    // Request heads (request line, header lines and the blank line) in the
    // order their connections were accepted, as a server answering one
    // connection at a time would have seen them.
    std::vector<std::string> Requests() const;
    // Just the request targets ("/x?y"), in the same order.
    std::vector<std::string> Targets() const;
    size_t RequestCount() const;
    // Every accepted connection, probes that sent nothing included.
    int Connections() const { return m_connections; }
    // True once at least `count` requests have arrived.
    bool WaitForRequests(size_t count, unsigned timeoutMs) const;
    void Clear();

    // Ends handlers that wait on it (a slow drip).
    void Stop() { m_stop = true; }
    bool Stopping() const { return m_stop; }

    static void AnswerOk(CConn& conn, const std::string& request);

private:
    static constexpr int kReadyWorkers = 4;

    void Serve();
    void Work();
    void Handle(uintptr_t sock, int order);

    Handler m_handler;
    uintptr_t m_listen = 0;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_lock;
    mutable std::condition_variable m_arrived;
    std::vector<std::pair<int, std::string>> m_requests;  // by accept order
    std::mutex m_poolLock;
    std::condition_variable m_work;
    std::deque<std::pair<uintptr_t, int>> m_pending;  // accepted, not yet served
    size_t m_idle = 0;                                // workers waiting for one
    std::vector<std::thread> m_workers;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens (bound, then released).
uint16_t UnusedLoopbackPort();
