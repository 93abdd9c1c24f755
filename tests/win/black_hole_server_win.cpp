#include <winsock2.h>

#include "tests/win/black_hole_server_win.h"

#include <stdexcept>

namespace {

constexpr size_t kKeepMax = 16 * 1024;

std::string TargetOf(const std::string& received) {
    const size_t space = received.find(' ');
    if (space == std::string::npos) return {};
    const size_t end = received.find(' ', space + 1);
    if (end == std::string::npos) return {};
    return received.substr(space + 1, end - space - 1);
}

}  // namespace

CBlackHoleServer::CBlackHoleServer() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(s, SOMAXCONN) != 0 || getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (s != INVALID_SOCKET) closesocket(s);
        throw std::runtime_error("no loopback port");
    }
    m_listen = s;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CBlackHoleServer::~CBlackHoleServer() {
    m_stop = true;
    m_thread.join();
    closesocket(static_cast<SOCKET>(m_listen));
    for (const Conn& conn : m_open) closesocket(static_cast<SOCKET>(conn.sock));
}

std::string CBlackHoleServer::HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }

std::vector<std::string> CBlackHoleServer::Targets() const {
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<std::string> targets = m_closedTargets;
    for (const Conn& conn : m_open) {
        if (std::string target = TargetOf(conn.received); !target.empty()) targets.push_back(target);
    }
    return targets;
}

void CBlackHoleServer::Clear() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_closedTargets.clear();
    m_givenUp = 0;
}

void CBlackHoleServer::Serve() {
    while (!m_stop) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(static_cast<SOCKET>(m_listen), &readable);
        {
            std::lock_guard<std::mutex> lock(m_lock);
            for (const Conn& conn : m_open) {
                if (readable.fd_count < FD_SETSIZE) FD_SET(static_cast<SOCKET>(conn.sock), &readable);
            }
        }
        timeval wait{0, 20 * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        if (FD_ISSET(static_cast<SOCKET>(m_listen), &readable)) {
            const SOCKET accepted = accept(static_cast<SOCKET>(m_listen), nullptr, nullptr);
            if (accepted != INVALID_SOCKET) {
                std::lock_guard<std::mutex> lock(m_lock);
                m_open.push_back({static_cast<uintptr_t>(accepted), {}});
            }
        }
        std::lock_guard<std::mutex> lock(m_lock);
        for (size_t i = 0; i < m_open.size();) {
            Conn& conn = m_open[i];
            if (!FD_ISSET(static_cast<SOCKET>(conn.sock), &readable)) {
                ++i;
                continue;
            }
            char buffer[2048];
            const int n = recv(static_cast<SOCKET>(conn.sock), buffer, sizeof buffer, 0);
            if (n > 0) {
                if (conn.received.size() < kKeepMax) conn.received.append(buffer, static_cast<size_t>(n));
                ++i;
                continue;
            }
            // The client closed it (or reset it): it no longer waits.
            if (std::string target = TargetOf(conn.received); !target.empty()) m_closedTargets.push_back(target);
            closesocket(static_cast<SOCKET>(conn.sock));
            m_open.erase(m_open.begin() + static_cast<std::ptrdiff_t>(i));
            ++m_givenUp;
        }
    }
}
