// Winsock side of the socket seam.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>
#include <cstring>

#include "base/code_page_win.h"
#include "net/socket_seam.h"

namespace sock {

namespace {
SOCKET Sock(Handle s) { return static_cast<SOCKET>(s); }
}  // namespace

// INVALID_SOCKET never equals 0 on Winsock, and 0 is never a socket.
bool Startup() {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    if (data.wVersion != MAKEWORD(2, 2)) {
        WSACleanup();
        return false;
    }
    return true;
}

Handle Open() {
    const protoent* tcp = getprotobyname("tcp");
    const SOCKET s = socket(AF_INET, SOCK_STREAM, tcp ? tcp->p_proto : IPPROTO_TCP);
    return s == INVALID_SOCKET ? 0 : static_cast<Handle>(s);
}

bool Connect(Handle s, const std::string& host, uint16_t port) {
    if (s == 0 || host.empty()) return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof(address));
    freeaddrinfo(found);
    address.sin_port = htons(port);
    return connect(Sock(s), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

bool SetRecvTimeout(Handle s, unsigned milliseconds) {
    const DWORD value = milliseconds;
    return s != 0 && setsockopt(Sock(s), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&value),
                                sizeof(value)) == 0;
}

bool SendAll(Handle s, const char* data, size_t size) {
    while (size > 0) {
        const int chunk = size > INT_MAX ? INT_MAX : static_cast<int>(size);
        const int n = send(Sock(s), data, chunk, 0);
        if (n == SOCKET_ERROR || n == 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

namespace {
long Receive(Handle s, char* buffer, size_t size, int flags) {
    const int chunk = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    const int n = recv(Sock(s), buffer, chunk, flags);
    return n == SOCKET_ERROR ? -1 : n;
}
}  // namespace

long Recv(Handle s, char* buffer, size_t size) { return Receive(s, buffer, size, 0); }
long Peek(Handle s, char* buffer, size_t size) { return Receive(s, buffer, size, MSG_PEEK); }

void ShutdownAndClose(Handle s) {
    if (s == 0) return;
    shutdown(Sock(s), SD_BOTH);
    closesocket(Sock(s));
}

void Close(Handle s) {
    if (s != 0) closesocket(Sock(s));
}

}  // namespace sock

const ICodePage& WireCodePage() {
    static const CWinCodePage ansi(CP_ACP);
    return ansi;
}
