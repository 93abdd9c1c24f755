#include "tests/e2e/update_signer_win.h"

#include <windows.h>

#include <bcrypt.h>

#include <vector>

#include "base/base64.h"
#include "tests/win/hex_bytes.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr char kSpkiPrefix[] = "3059301306072a8648ce3d020106082a8648ce3d030107034200";

struct KeyText {
    const char* point;  // 04 || X || Y
    const char* d;
};

KeyText Text(TestKey key) {
    if (key == TestKey::A)
        return {"04b7efd0b3dfe81a145da34daea2abe9aa5ed9bb6cb513fc5e6e54450e17c8d8b5e4ea606609b8c3d851dc720718fb09b8abf1c1"
                "f86cfb0583ee9aaec1c67a9bb0",
                "2e5f2119b06d8fa57a94450cb9db6634b64ba7b13e40ee3063af055e7fc90038"};
    return {"047208f4557463644774abdc654f63f3cd8610e66c006f43c9b5b9e34dddf335e5de512669f951ec8f097696c79ff1cddbc64afdec"
            "3be330fd4432412c87c976ab",
            "5182b04ac9259a251fdbad7afcc217e839fbd2478e77d9d48347d019f6328143"};
}

// One DER INTEGER of a big-endian unsigned value.
Bytes DerInteger(const unsigned char* value, size_t size) {
    size_t skip = 0;
    while (skip + 1 < size && value[skip] == 0) ++skip;
    Bytes out{0x02, 0};
    if (value[skip] & 0x80) out.push_back(0);
    out.insert(out.end(), value + skip, value + size);
    out[1] = static_cast<unsigned char>(out.size() - 2);
    return out;
}

Bytes Sha256(const std::string& bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    Bytes digest(32);
    bool ok = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) == 0 &&
              BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0 &&
              BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                             static_cast<ULONG>(bytes.size()), 0) == 0 &&
              BCryptFinishHash(hash, digest.data(), 32, 0) == 0;
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok ? digest : Bytes();
}

}  // namespace

std::string TestUpdateKey(TestKey key) {
    Bytes spki = HexBytes(kSpkiPrefix);
    const Bytes point = HexBytes(Text(key).point);
    spki.insert(spki.end(), point.begin(), point.end());
    return Base64Encode(spki);
}

std::string TestSignature(TestKey key, const std::string& bytes) {
    const Bytes point = HexBytes(Text(key).point), d = HexBytes(Text(key).d);
    Bytes blob(sizeof(BCRYPT_ECCKEY_BLOB));
    auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
    header->dwMagic = BCRYPT_ECDSA_PRIVATE_P256_MAGIC;
    header->cbKey = 32;
    blob.insert(blob.end(), point.begin() + 1, point.end());
    blob.insert(blob.end(), d.begin(), d.end());
    const Bytes digest = Sha256(bytes);
    if (digest.empty()) return {};

    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_KEY_HANDLE handle = nullptr;
    unsigned char raw[64];
    ULONG written = 0;
    const bool ok =
        BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) == 0 &&
        BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPRIVATE_BLOB, &handle, blob.data(),
                            static_cast<ULONG>(blob.size()), 0) == 0 &&
        BCryptSignHash(handle, nullptr, const_cast<PUCHAR>(digest.data()), 32, raw, sizeof(raw), &written, 0) == 0 &&
        written == sizeof(raw);
    if (handle) BCryptDestroyKey(handle);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!ok) return {};
    Bytes sequence{0x30, 0};
    for (const Bytes& part : {DerInteger(raw, 32), DerInteger(raw + 32, 32)}) sequence.insert(sequence.end(), part.begin(), part.end());
    sequence[1] = static_cast<unsigned char>(sequence.size() - 2);
    return Base64Encode(sequence);
}
