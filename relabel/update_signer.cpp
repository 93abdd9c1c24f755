#include "relabel/update_signer.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstring>
#include <memory>

#include "base/base64.h"

namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct DigestFree {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Bio = std::unique_ptr<BIO, BioFree>;
using Digest = std::unique_ptr<EVP_MD_CTX, DigestFree>;

bool IsP256(EVP_PKEY* key) {
    if (key == nullptr || EVP_PKEY_is_a(key, "EC") != 1) return false;
    char group[64] = {};
    size_t length = 0;
    if (EVP_PKEY_get_group_name(key, group, sizeof group, &length) != 1) return false;
    return std::strcmp(group, "prime256v1") == 0 || std::strcmp(group, "P-256") == 0;
}

bool SpkiBase64(EVP_PKEY* key, std::string& out) {
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(key, &der);
    if (length <= 0) return false;
    out = Base64Encode(der, static_cast<size_t>(length));
    OPENSSL_free(der);
    return true;
}

Key ReadPrivateKey(const std::string& pem) {
    Bio bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    if (!bio) return nullptr;
    Key key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    return IsP256(key.get()) ? std::move(key) : nullptr;
}

}  // namespace

bool MakeUpdateKey(std::string& privatePem, std::string& publicBase64) {
    Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    if (!key) return false;
    Bio bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) return false;
    char* text = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &text);
    if (length <= 0) return false;
    privatePem.assign(text, static_cast<size_t>(length));
    return SpkiBase64(key.get(), publicBase64);
}

bool PublicKeyOf(const std::string& privatePem, std::string& publicBase64) {
    const Key key = ReadPrivateKey(privatePem);
    return key && SpkiBase64(key.get(), publicBase64);
}

bool SignUpdate(const std::string& privatePem, const unsigned char* data, size_t size,
                std::vector<unsigned char>& signature) {
    const Key key = ReadPrivateKey(privatePem);
    Digest ctx(EVP_MD_CTX_new());
    if (!key || !ctx || EVP_DigestSignInit(ctx.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1) return false;
    size_t length = 0;
    if (EVP_DigestSign(ctx.get(), nullptr, &length, data, size) != 1) return false;
    signature.resize(length);
    if (EVP_DigestSign(ctx.get(), signature.data(), &length, data, size) != 1) return false;
    signature.resize(length);
    return true;
}

bool COpenSslVerifier::Verify(const std::vector<unsigned char>& spki, const std::vector<unsigned char>& signature,
                              const unsigned char* data, size_t size) const {
    const unsigned char* at = spki.data();
    Key key(d2i_PUBKEY(nullptr, &at, static_cast<long>(spki.size())));
    // Bytes after the key would let two texts name one key.
    if (!IsP256(key.get()) || at != spki.data() + spki.size()) return false;
    Digest ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1) return false;
    return EVP_DigestVerify(ctx.get(), signature.data(), signature.size(), data, size) == 1;
}
