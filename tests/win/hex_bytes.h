#pragma once

#include <string>
#include <vector>

// Test keys and signatures stand in the tests as hexadecimal text.
inline std::vector<unsigned char> HexBytes(const char* text) {
    std::vector<unsigned char> out;
    for (const char* p = text; p[0] != 0 && p[1] != 0; p += 2)
        out.push_back(static_cast<unsigned char>(std::stoi(std::string(p, 2), nullptr, 16)));
    return out;
}
