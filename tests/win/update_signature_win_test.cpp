#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/update_signature_win.h"
#include "tests/win/hex_bytes.h"

// Test keys made with openssl for these tests only; their private halves
// were never kept. Each signature is `openssl dgst -sha256 -sign` over kText.

namespace {

using Bytes = std::vector<unsigned char>;

const char kText[] = "The update file, signed for the test.";
const Bytes kKeyA = HexBytes(
    "3059301306072a8648ce3d020106082a8648ce3d03010703420004b7efd0b3dfe81a145da34daea2abe9aa5ed9bb6cb513fc5e6e54450e17c8"
    "d8b5e4ea606609b8c3d851dc720718fb09b8abf1c1f86cfb0583ee9aaec1c67a9bb0");
const Bytes kKeyB = HexBytes(
    "3059301306072a8648ce3d020106082a8648ce3d030107034200047208f4557463644774abdc654f63f3cd8610e66c006f43c9b5b9e34ddd"
    "f335e5de512669f951ec8f097696c79ff1cddbc64afdec3be330fd4432412c87c976ab");
// A P-384 key: a valid ECDSA key of the wrong curve.
const Bytes kKeyC = HexBytes(
    "3076301006072a8648ce3d020106052b81040022036200046c38719107b9de14061bde3cffb19e3dc13c4893b2f64c8a7df879c78bd1dc74"
    "69ea1be330c520abb7122b5f8e10f22e3c725d44d7e36d3f19c951703d25f0969f44f62e0fae03280ef94ef5120d968c5d3fce84a4a8efb6"
    "9d2c82646ddf10d6");
const Bytes kSigA = HexBytes(
    "3046022100fc31da865e1ae46cdb66d6393f1c25e493d19c4c53af065e2a7f8c1ba856ccaf022100ac16e7a4fb4a0367602356c8afe7624a"
    "b8bf1735e6ae359ab46cc8e717a18481");
// s is 32 bytes without a leading zero: the other encoding width.
const Bytes kSigB = HexBytes(
    "3045022100fe976e200423039d5305e36f7b60f0b311d7e4e4298793d1209a1220713ca727022051b80cbac046518b4f4b1f8b432df594e8"
    "8e4aa4c4b8c0ccae3b57a9e55f06a5");
const Bytes kSigC = HexBytes(
    "30640230713fbabc50e4a4acf819be2f25b0a8320f473378fd977cb33907740c391aea00f894b2c522a1fa0d89274caab427cc9102300d87"
    "603f40386d7084d5f14afe247e222f8b9a8b86691bcf144ede36f9618dbf5f5bf6d5da7c714bf690fb8a20dce577");

Bytes Flipped(Bytes bytes, size_t at) {
    bytes.at(at) ^= 0x01;
    return bytes;
}

}  // namespace

TEST(UpdateSignatureWin, Verdicts) {
    const Bytes text(kText, kText + sizeof(kText) - 1);
    struct Case {
        const char* what;
        Bytes key, signature, data;
        bool valid;
    } cases[] = {
        {"signed by the key", kKeyA, kSigA, text, true},
        {"the other width of s", kKeyB, kSigB, text, true},
        {"one bit of the file changed", kKeyA, kSigA, Flipped(text, 5), false},
        {"one bit of r changed", kKeyA, Flipped(kSigA, 10), text, false},
        {"one bit of s changed", kKeyA, Flipped(kSigA, 60), text, false},
        {"signed by another key", kKeyA, kSigB, text, false},
        {"checked under another key", kKeyB, kSigA, text, false},
        {"a key of another curve", kKeyC, kSigC, text, false},
        {"no signature", kKeyA, {}, text, false},
        {"no key", {}, kSigA, text, false},
        {"a key that is not DER", Bytes(91, 0x41), kSigA, text, false},
        {"one bit of the key changed", Flipped(kKeyA, 40), kSigA, text, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VerifyP256Signature(c.key, c.signature, c.data.data(), c.data.size()), c.valid) << c.what;
}
