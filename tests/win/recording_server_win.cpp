#include "tests/win/recording_server_win.h"

#include <ws2tcpip.h>

#include <chrono>

namespace {

constexpr size_t kHeadMax = 64 * 1024;

struct CWinsock {
    CWinsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~CWinsock() { WSACleanup(); }
};

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace

CRecordingServer::CRecordingServer(uint16_t port) {
    static CWinsock winsock;
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listener == INVALID_SOCKET) return;
    sockaddr_in address = Loopback(port);
    int length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, SOMAXCONN) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(m_listener);
        m_listener = INVALID_SOCKET;
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CRecordingServer::~CRecordingServer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_listener != INVALID_SOCKET) closesocket(m_listener);
}

void CRecordingServer::Serve() {
    while (!m_stop) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listener, &readable);
        timeval wait{0, 50 * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        ++m_connections;
        Handle(client);
        closesocket(client);
    }
}

void CRecordingServer::Handle(SOCKET client) {
    DWORD timeout = 3000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kHeadMax) {
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        head.append(buffer, static_cast<size_t>(got));
    }
    if (head.empty()) return;
    static const char kAnswer[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    send(client, kAnswer, sizeof kAnswer - 1, 0);
    shutdown(client, SD_SEND);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_requests.push_back(head.substr(0, head.find("\r\n\r\n") + 2));
    }
    m_arrived.notify_all();
}

std::vector<std::string> CRecordingServer::Requests() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requests;
}

std::vector<std::string> CRecordingServer::Targets() const {
    std::vector<std::string> targets;
    for (const std::string& head : Requests()) {
        const size_t start = head.find(' ');
        const size_t end = head.find(' ', start + 1);
        targets.push_back(start == std::string::npos ? head : head.substr(start + 1, end - start - 1));
    }
    return targets;
}

bool CRecordingServer::WaitForRequests(size_t count, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> lock(m_lock);
    return m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_requests.size() >= count; });
}

void CRecordingServer::Clear() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_requests.clear();
}

uint16_t UnusedLoopbackPort() {
    CRecordingServer probe;
    return probe.Port();
}
