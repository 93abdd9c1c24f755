#include <winsock2.h>

#include "tests/win/loopback_server_win.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

bool CWinLoopbackServer::CConn::Send(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(static_cast<SOCKET>(m_sock), bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool CWinLoopbackServer::CConn::Drip(const std::string& bytes, size_t piece, int pauseMs) {
    for (size_t at = 0; at < bytes.size(); at += piece) {
        if (!Send(bytes.substr(at, piece))) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
    return true;
}

bool CWinLoopbackServer::CConn::Reply(const std::string& statusLine, const std::string& body,
                                      const std::string& extraHeaders) {
    return Send("HTTP/1.1 " + statusLine + "\r\n" + extraHeaders + "Content-Length: " + std::to_string(body.size()) +
                "\r\n\r\n" + body);
}

namespace {

// The head of a request is short; a connection that stalls before its blank
// line must not keep the server from closing.
constexpr size_t kHeadMax = 64 * 1024;
constexpr DWORD kHeadTimeoutMs = 3000;

SOCKET ListenOnLoopback(uint16_t& port) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int size = sizeof(address);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(s, SOMAXCONN) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return s;
}

}  // namespace

CWinLoopbackServer::CWinLoopbackServer(Handler handler) : CWinLoopbackServer(0, std::move(handler)) {}

CWinLoopbackServer::CWinLoopbackServer(uint16_t port, Handler handler) : m_handler(std::move(handler)), m_port(port) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = ListenOnLoopback(m_port);
    if (s == INVALID_SOCKET) {
        WSACleanup();
        throw std::runtime_error("loopback server cannot listen");
    }
    m_listen = static_cast<uintptr_t>(s);
    for (int i = 0; i < kReadyWorkers; ++i) m_workers.emplace_back([this] { Work(); });
    m_thread = std::thread([this] { Serve(); });
}

CWinLoopbackServer::~CWinLoopbackServer() {
    m_stop = true;
    m_thread.join();
    {
        std::lock_guard<std::mutex> hold(m_poolLock);
        m_work.notify_all();
    }
    for (auto& worker : m_workers) worker.join();
    closesocket(static_cast<SOCKET>(m_listen));
    WSACleanup();
}

void CWinLoopbackServer::AnswerOk(CConn& conn, const std::string&) {
    conn.Reply("200 OK", "", "Connection: close\r\n");
}

std::string CWinLoopbackServer::HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }

std::wstring CWinLoopbackServer::Url(const std::string& path) const {
    const std::string text = "http://" + HostPort() + path;
    return {text.begin(), text.end()};
}

std::vector<std::string> CWinLoopbackServer::Requests() const {
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<std::string> heads;
    for (const auto& request : m_requests) heads.push_back(request.second);
    return heads;
}

std::vector<std::string> CWinLoopbackServer::Targets() const {
    std::vector<std::string> targets;
    for (const std::string& head : Requests()) {
        const size_t start = head.find(' ');
        const size_t end = head.find(' ', start + 1);
        targets.push_back(start == std::string::npos ? head : head.substr(start + 1, end - start - 1));
    }
    return targets;
}

size_t CWinLoopbackServer::RequestCount() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests.size();
}

bool CWinLoopbackServer::WaitForRequests(size_t count, unsigned timeoutMs) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_arrived.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] { return m_requests.size() >= count; });
}

void CWinLoopbackServer::Clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_requests.clear();
}

void CWinLoopbackServer::Serve() {
    const SOCKET listener = static_cast<SOCKET>(m_listen);
    while (!m_stop) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener, &ready);
        timeval wait{0, 20000};
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
        const SOCKET s = accept(listener, nullptr, nullptr);
        if (s == INVALID_SOCKET) continue;
        const int order = m_connections++;
        bool spawn = false;
        {
            std::lock_guard<std::mutex> hold(m_poolLock);
            m_pending.emplace_back(static_cast<uintptr_t>(s), order);
            spawn = m_idle < m_pending.size();
            m_work.notify_one();
        }
        // Every connection is served at once, however many handlers wait.
        if (spawn) m_workers.emplace_back([this] { Work(); });
    }
}

// Serves connections until the server stops. Workers wait ready beforehand:
// under Wine a thread start takes milliseconds, which a client waiting for
// its answer would otherwise be charged with on every connection.
void CWinLoopbackServer::Work() {
    for (;;) {
        std::pair<uintptr_t, int> next;
        {
            std::unique_lock<std::mutex> hold(m_poolLock);
            ++m_idle;
            m_work.wait(hold, [this] { return m_stop || !m_pending.empty(); });
            --m_idle;
            if (m_pending.empty()) return;
            next = m_pending.front();
            m_pending.pop_front();
        }
        Handle(next.first, next.second);
    }
}

void CWinLoopbackServer::Handle(uintptr_t sock, int order) {
    const SOCKET s = static_cast<SOCKET>(sock);
    const DWORD timeout = kHeadTimeoutMs;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    // Read in pieces: a receive per byte costs a round trip to the Wine
    // server each, which clients that wait for the answer would pay for.
    // What follows the head (a body) is read and dropped; handlers see the
    // head only.
    std::string request;
    char piece[4096];
    for (;;) {
        const size_t end = request.find("\r\n\r\n");
        if (end != std::string::npos) {
            request.resize(end + 4);
            break;
        }
        if (request.size() >= kHeadMax) {
            request.resize(kHeadMax);
            break;
        }
        const int n = recv(s, piece, static_cast<int>(sizeof piece), 0);
        if (n <= 0) break;
        request.append(piece, static_cast<size_t>(n));
    }
    if (!request.empty()) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            const auto later = std::find_if(m_requests.begin(), m_requests.end(),
                                            [order](const auto& other) { return other.first > order; });
            m_requests.insert(later, {order, request});
        }
        m_arrived.notify_all();
        CConn conn(sock);
        m_handler(conn, request);
    }
    shutdown(s, SD_SEND);
    closesocket(s);
}

uint16_t UnusedLoopbackPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    uint16_t port = 0;
    const SOCKET s = ListenOnLoopback(port);
    if (s != INVALID_SOCKET) closesocket(s);
    WSACleanup();
    return port;
}
