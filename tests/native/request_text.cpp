#include "tests/native/request_text.h"

#include <cstdint>

std::string RequestHeader(const std::string& request, const std::string& name) {
    const size_t at = request.find("\r\n" + name + ": ");
    if (at == std::string::npos) return {};
    const size_t begin = at + 4 + name.size();
    return request.substr(begin, request.find("\r\n", begin) - begin);
}

std::string PatternBytes(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 2463534242u;
    for (auto& b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<char>(state);
    }
    return bytes;
}
