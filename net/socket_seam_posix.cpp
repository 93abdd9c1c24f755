// BSD-socket side of the socket seam, for the native build.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/socket_seam.h"

namespace sock {

namespace {
// A descriptor of 0 is valid here, so handles are descriptors plus one.
int Fd(Handle s) { return static_cast<int>(s) - 1; }
}  // namespace

bool Startup() { return true; }

Handle Open() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd < 0 ? 0 : static_cast<Handle>(fd) + 1;
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
    int r;
    do {
        r = connect(Fd(s), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

bool SetRecvTimeout(Handle s, unsigned milliseconds) {
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(milliseconds / 1000);
    tv.tv_usec = static_cast<suseconds_t>((milliseconds % 1000) * 1000);
    return s != 0 && setsockopt(Fd(s), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv)) == 0;
}

bool SendAll(Handle s, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = send(Fd(s), data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

namespace {
long Receive(Handle s, char* buffer, size_t size, int flags) {
    ssize_t n;
    do {
        n = recv(Fd(s), buffer, size, flags);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}
}  // namespace

long Recv(Handle s, char* buffer, size_t size) { return Receive(s, buffer, size, 0); }
long Peek(Handle s, char* buffer, size_t size) { return Receive(s, buffer, size, MSG_PEEK); }

void ShutdownAndClose(Handle s) {
    if (s == 0) return;
    shutdown(Fd(s), SHUT_RDWR);
    close(Fd(s));
}

void Close(Handle s) {
    if (s != 0) close(Fd(s));
}

}  // namespace sock

const ICodePage& WireCodePage() {
    static const auto gbk = MakeGbkCodePage();
    return *gbk;
}
