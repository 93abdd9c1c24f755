#include "tests/fuzz/scripted_socket.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "net/socket_seam.h"

namespace {

struct Script {
    std::vector<std::string_view> answers;
    size_t opened = 0;
    // Unread rest of each open connection's answer.
    std::map<sock::Handle, std::string_view> open;
    sock::Handle next = 1;
};

Script& TheScript() {
    static Script script;
    return script;
}

}  // namespace

namespace scripted_socket {

void Play(std::vector<std::string_view> answers) {
    Script& s = TheScript();
    s.answers = std::move(answers);
    s.opened = 0;
    s.open.clear();
}

size_t Connections() { return TheScript().opened; }

}  // namespace scripted_socket

namespace sock {

bool Startup() { return true; }

Handle Open() {
    Script& s = TheScript();
    const Handle handle = s.next++;
    const std::string_view answer = s.answers.empty() ? std::string_view{} : s.answers[s.opened % s.answers.size()];
    ++s.opened;
    s.open[handle] = answer;
    return handle;
}

bool Connect(Handle s, const std::string& host, uint16_t) { return s != 0 && !host.empty(); }

bool SetRecvTimeout(Handle s, unsigned) { return s != 0; }

bool SendAll(Handle s, const char*, size_t) { return TheScript().open.count(s) != 0; }

namespace {
long Receive(Handle s, char* buffer, size_t size, bool take) {
    auto found = TheScript().open.find(s);
    if (found == TheScript().open.end()) return -1;
    std::string_view& rest = found->second;
    // A closed connection reads as a time-out: the downloader must stop either way.
    if (rest.empty()) return -1;
    const size_t n = std::min(size, rest.size());
    std::memcpy(buffer, rest.data(), n);
    if (take) rest.remove_prefix(n);
    return static_cast<long>(n);
}
}  // namespace

long Recv(Handle s, char* buffer, size_t size) { return Receive(s, buffer, size, true); }
long Peek(Handle s, char* buffer, size_t size) { return Receive(s, buffer, size, false); }

void ShutdownAndClose(Handle s) { TheScript().open.erase(s); }
void Close(Handle s) { TheScript().open.erase(s); }

}  // namespace sock

const ICodePage& WireCodePage() {
    static const auto gbk = MakeGbkCodePage();
    return *gbk;
}
