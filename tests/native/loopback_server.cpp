#include "tests/native/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

bool CLoopbackServer::CConn::Send(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool CLoopbackServer::CConn::Drip(const std::string& bytes, size_t piece, int pauseMs) {
    for (size_t at = 0; at < bytes.size(); at += piece) {
        if (!Send(bytes.substr(at, piece))) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
    return true;
}

bool CLoopbackServer::CConn::Reply(const std::string& statusLine, const std::string& body,
                                   const std::string& extraHeaders, bool withLength) {
    std::string text = "HTTP/1.1 " + statusLine + "\r\n" + extraHeaders;
    if (withLength) text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return Send(text + "\r\n" + body);
}

CLoopbackServer::CLoopbackServer(Handler handler) : m_handler(std::move(handler)) {
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    if (m_listen < 0 || bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(m_listen, 16) != 0 || getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("loopback server cannot listen");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CLoopbackServer::~CLoopbackServer() {
    m_stop = true;
    m_thread.join();
    for (auto& worker : m_workers) worker.join();
    close(m_listen);
}

std::string CLoopbackServer::HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }

std::wstring CLoopbackServer::Url(const std::string& path) const {
    const std::string text = "http://" + HostPort() + path;
    return {text.begin(), text.end()};
}

std::vector<std::string> CLoopbackServer::Requests() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests;
}

size_t CLoopbackServer::RequestCount() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests.size();
}

void CLoopbackServer::Serve() {
    while (!m_stop) {
        pollfd ready{m_listen, POLLIN, 0};
        if (poll(&ready, 1, 20) <= 0) continue;
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        m_workers.emplace_back([this, fd] {
            std::string request;
            char c;
            while (request.size() < 65536 && recv(fd, &c, 1, 0) == 1) {
                request.push_back(c);
                if (request.size() >= 4 && request.compare(request.size() - 4, 4, "\r\n\r\n") == 0) break;
            }
            // A connection closed without a request is not one.
            if (!request.empty()) {
                {
                    std::lock_guard<std::mutex> hold(m_lock);
                    m_requests.push_back(request);
                }
                CConn conn(fd);
                m_handler(conn, request);
            }
            shutdown(fd, SHUT_WR);
            close(fd);
        });
    }
}
