#pragma once

#include <cstddef>
#include <vector>

// True when `signature` (DER, as `openssl dgst -sha256 -sign` writes it) is
// a valid ECDSA signature with SHA-256 over `size` bytes at `data` by the
// P-256 key whose DER SubjectPublicKeyInfo is `spki`. Any other key kind or
// curve, and anything CNG cannot read, is refused.
bool VerifyP256Signature(const std::vector<unsigned char>& spki, const std::vector<unsigned char>& signature,
                         const unsigned char* data, size_t size);
