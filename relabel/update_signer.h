#pragma once

#include <string>
#include <vector>

#include "app/update_accept.h"

// The operator's side of update signatures, over OpenSSL's libcrypto: P-256
// keys, ECDSA signatures with SHA-256 in DER, as `openssl dgst -sha256 -sign`
// makes them. Native tools only; the program verifies with the system's own
// cryptography.

// A fresh key pair: the private key as PKCS#8 PEM, the public key as the
// base64 DER SubjectPublicKeyInfo the UpdateKey slot holds.
bool MakeUpdateKey(std::string& privatePem, std::string& publicBase64);

// The UpdateKey text of a private key in PEM; false when the text is no
// P-256 private key.
bool PublicKeyOf(const std::string& privatePem, std::string& publicBase64);

bool SignUpdate(const std::string& privatePem, const unsigned char* data, size_t size,
                std::vector<unsigned char>& signature);

class COpenSslVerifier : public UpdateSignatureVerifier {
public:
    // Only a P-256 key verifies: a key of another curve or kind is refused
    // before the signature is looked at.
    bool Verify(const std::vector<unsigned char>& spki, const std::vector<unsigned char>& signature,
                const unsigned char* data, size_t size) const override;
};
