#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/native/request_text.h"

// An HTTP server on 127.0.0.1 (a free port) for the downloader's tests. Each
// connection's request header is read and recorded, then the test's handler
// writes whatever bytes it likes, well-formed or not, and returns; the
// connection is then closed.
class CLoopbackServer {
public:
    class CConn {
    public:
        explicit CConn(int fd) : m_fd(fd) {}
        // False once the peer has gone.
        bool Send(const std::string& bytes);
        // Sends in pieces with a pause between them.
        bool Drip(const std::string& bytes, size_t piece, int pauseMs);
        // A raw HTTP answer with a Content-Length line unless told otherwise.
        bool Reply(const std::string& statusLine, const std::string& body, const std::string& extraHeaders = "",
                   bool withLength = true);

    private:
        int m_fd;
    };
    using Handler = std::function<void(CConn& conn, const std::string& request)>;

    explicit CLoopbackServer(Handler handler);
    ~CLoopbackServer();
    CLoopbackServer(const CLoopbackServer&) = delete;
    CLoopbackServer& operator=(const CLoopbackServer&) = delete;

    uint16_t Port() const { return m_port; }
    // "127.0.0.1:<port>"
    std::string HostPort() const;
    std::wstring Url(const std::string& path) const;

    std::vector<std::string> Requests() const;
    size_t RequestCount() const;

private:
    void Serve();

    Handler m_handler;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    std::vector<std::string> m_requests;
    std::vector<std::thread> m_workers;
    std::thread m_thread;
};
