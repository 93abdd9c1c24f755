#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A sick server on 127.0.0.1: it accepts every connection and reads what
// arrives, but never answers, as a statistics host or portal that has hung.
// It notes when the client gives a connection up, so a test can tell whether
// the client waited for an answer or went on without one.
class CBlackHoleServer {
public:
    // Throws when no port can be had.
    CBlackHoleServer();
    ~CBlackHoleServer();
    CBlackHoleServer(const CBlackHoleServer&) = delete;
    CBlackHoleServer& operator=(const CBlackHoleServer&) = delete;

    std::string HostPort() const;
    // The request targets ("/x?y") that arrived, in accept order.
    std::vector<std::string> Targets() const;
    // Connections the client has closed (it stopped waiting).
    int GivenUp() const { return m_givenUp; }
    void Clear();

private:
    struct Conn {
        uintptr_t sock;
        std::string received;
    };
    void Serve();

    uintptr_t m_listen = 0;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_givenUp{0};
    mutable std::mutex m_lock;
    std::vector<Conn> m_open;
    std::vector<std::string> m_closedTargets;
    std::thread m_thread;
};
