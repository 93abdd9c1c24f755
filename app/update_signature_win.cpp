#include "app/update_signature_win.h"

#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <climits>
#include <cstring>

#include "app/ecdsa_der.h"
#include "fw/handles_win.h"
#include "fw/system_library_win.h"

namespace {

constexpr size_t kP256Half = 32;
constexpr size_t kSha256Size = 32;

// crypt32 and bcrypt load at the first check rather than with the program:
// only an update needs them, and each library mapped before the login face
// holds it up.
struct CngApi {
    decltype(&CryptDecodeObjectEx) decodeObject;
    decltype(&CryptImportPublicKeyInfoEx2) importPublicKey;
    decltype(&BCryptOpenAlgorithmProvider) openAlgorithm;
    decltype(&BCryptCloseAlgorithmProvider) closeAlgorithm;
    decltype(&BCryptCreateHash) createHash;
    decltype(&BCryptHashData) hashData;
    decltype(&BCryptFinishHash) finishHash;
    decltype(&BCryptDestroyHash) destroyHash;
    decltype(&BCryptVerifySignature) verifySignature;
    decltype(&BCryptDestroyKey) destroyKey;
};

// Null when a library or one of its calls is missing.
const CngApi* Cng() {
    static const fw::ScopedModule crypt32 = fw::LoadSystemLibrary(L"crypt32.dll");
    static const fw::ScopedModule bcrypt = fw::LoadSystemLibrary(L"bcrypt.dll");
    static const CngApi api{
        fw::SystemFunction<decltype(&CryptDecodeObjectEx)>(crypt32, "CryptDecodeObjectEx"),
        fw::SystemFunction<decltype(&CryptImportPublicKeyInfoEx2)>(crypt32, "CryptImportPublicKeyInfoEx2"),
        fw::SystemFunction<decltype(&BCryptOpenAlgorithmProvider)>(bcrypt, "BCryptOpenAlgorithmProvider"),
        fw::SystemFunction<decltype(&BCryptCloseAlgorithmProvider)>(bcrypt, "BCryptCloseAlgorithmProvider"),
        fw::SystemFunction<decltype(&BCryptCreateHash)>(bcrypt, "BCryptCreateHash"),
        fw::SystemFunction<decltype(&BCryptHashData)>(bcrypt, "BCryptHashData"),
        fw::SystemFunction<decltype(&BCryptFinishHash)>(bcrypt, "BCryptFinishHash"),
        fw::SystemFunction<decltype(&BCryptDestroyHash)>(bcrypt, "BCryptDestroyHash"),
        fw::SystemFunction<decltype(&BCryptVerifySignature)>(bcrypt, "BCryptVerifySignature"),
        fw::SystemFunction<decltype(&BCryptDestroyKey)>(bcrypt, "BCryptDestroyKey"),
    };
    const bool complete = api.decodeObject && api.importPublicKey && api.openAlgorithm && api.closeAlgorithm &&
                          api.createHash && api.hashData && api.finishHash && api.destroyHash &&
                          api.verifySignature && api.destroyKey;
    return complete ? &api : nullptr;
}

struct BcryptAlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { Cng()->closeAlgorithm(h, 0); }
};
struct BcryptHashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { Cng()->destroyHash(h); }
};
struct BcryptKeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { Cng()->destroyKey(h); }
};
struct LocalMemoryTraits {
    using Handle = void*;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { LocalFree(h); }
};

bool Ok(NTSTATUS status) { return status >= 0; }

// The curve's OID as the key's algorithm parameters carry it.
bool IsP256Key(const CERT_PUBLIC_KEY_INFO& info) {
    static const unsigned char kP256Parameters[] = {0x06, 0x08, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07};
    const CRYPT_OBJID_BLOB& parameters = info.Algorithm.Parameters;
    return info.Algorithm.pszObjId != nullptr && std::strcmp(info.Algorithm.pszObjId, szOID_ECC_PUBLIC_KEY) == 0 &&
           parameters.cbData == sizeof(kP256Parameters) &&
           std::memcmp(parameters.pbData, kP256Parameters, sizeof(kP256Parameters)) == 0;
}

fw::ScopedHandle<BcryptKeyTraits> ImportKey(const std::vector<unsigned char>& spki) {
    fw::ScopedHandle<BcryptKeyTraits> key;
    if (spki.empty() || spki.size() > ULONG_MAX) return key;
    void* decoded = nullptr;
    DWORD decodedSize = 0;
    if (!Cng()->decodeObject(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, spki.data(), static_cast<DWORD>(spki.size()),
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded, &decodedSize))
        return key;
    const fw::ScopedHandle<LocalMemoryTraits> owner(decoded);
    auto* info = static_cast<CERT_PUBLIC_KEY_INFO*>(decoded);
    if (!IsP256Key(*info)) return key;
    BCRYPT_KEY_HANDLE imported = nullptr;
    if (Cng()->importPublicKey(X509_ASN_ENCODING, info, 0, nullptr, &imported)) key.Reset(imported);
    return key;
}

bool Sha256(const unsigned char* data, size_t size, unsigned char (&digest)[kSha256Size]) {
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (!Ok(Cng()->openAlgorithm(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return false;
    const fw::ScopedHandle<BcryptAlgorithmTraits> algorithm(opened);
    BCRYPT_HASH_HANDLE created = nullptr;
    if (!Ok(Cng()->createHash(algorithm.Get(), &created, nullptr, 0, nullptr, 0, 0))) return false;
    const fw::ScopedHandle<BcryptHashTraits> hash(created);
    // BCryptHashData takes a 32-bit length: a larger file goes in pieces.
    while (size > 0) {
        const ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        if (!Ok(Cng()->hashData(hash.Get(), const_cast<unsigned char*>(data), piece, 0))) return false;
        data += piece;
        size -= piece;
    }
    return Ok(Cng()->finishHash(hash.Get(), digest, kSha256Size, 0));
}

}  // namespace

bool VerifyP256Signature(const std::vector<unsigned char>& spki, const std::vector<unsigned char>& signature,
                         const unsigned char* data, size_t size) {
    if (Cng() == nullptr) return false;
    std::vector<unsigned char> raw;
    if (!EcdsaDerToRaw(signature, kP256Half, raw)) return false;
    if (data == nullptr && size != 0) return false;
    const fw::ScopedHandle<BcryptKeyTraits> key = ImportKey(spki);
    if (!key) return false;
    unsigned char digest[kSha256Size];
    if (!Sha256(data, size, digest)) return false;
    return Cng()->verifySignature(key.Get(), nullptr, digest, kSha256Size, raw.data(), static_cast<ULONG>(raw.size()),
                                 0) == 0;
}
