#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ecdsa_der.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Hex(const std::string& text) {
    Bytes out;
    for (size_t i = 0; i + 1 < text.size(); i += 2) out.push_back(static_cast<unsigned char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return out;
}

}  // namespace

// Half width 4 keeps the cases readable; P-256's 32 follows the same rules.
TEST(EcdsaDer, ToRaw) {
    struct Case {
        const char* what;
        std::string der;
        std::string raw;  // empty: refused
    } cases[] = {
        {"full width", "300c020411223344020455667788", "1122334455667788"},
        {"short values are left-padded", "30080202112202027abb", "000011220000 7abb"},
        {"a sign zero before a high byte", "300d0205008899aabb020411223344", "8899aabb11223344"},
        {"a needless leading zero", "300d02050011223344020411223344", ""},
        {"negative", "300c020491223344020411223344", ""},
        {"wider than the half", "300d0205112233445502041122334f", ""},
        {"zero r", "3009020100020411223344", ""},
        {"bytes after the sequence", "300c02041122334402045566778800", ""},
        {"sequence length beyond the bytes", "300d020411223344020455667788", ""},
        {"long-form length", "30810c020411223344020455667788", ""},
        {"not a sequence", "310c020411223344020455667788", ""},
        {"integer runs past the sequence", "300c020411223344020555667788", ""},
        {"one integer only", "3006020411223344", ""},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        std::string rawHex = c.raw;
        std::erase(rawHex, ' ');
        Bytes raw{1};
        const bool ok = EcdsaDerToRaw(Hex(c.der), 4, raw);
        EXPECT_EQ(ok, !rawHex.empty()) << c.what;
        EXPECT_EQ(raw, Hex(rawHex)) << c.what;
    }
}
