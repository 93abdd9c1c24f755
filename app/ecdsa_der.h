#pragma once

#include <cstddef>
#include <vector>

// An ECDSA signature as OpenSSL writes it (DER: SEQUENCE { INTEGER r,
// INTEGER s }) turned into the fixed-width r || s that CNG verifies, each
// half `half` bytes big-endian (32 for P-256). Strict DER only: a long or
// indefinite length, a negative or zero value, a value wider than `half`,
// a needless leading zero or bytes after the sequence refuse the signature,
// so that one signature has one accepted encoding. False leaves `raw` empty.
bool EcdsaDerToRaw(const std::vector<unsigned char>& der, size_t half, std::vector<unsigned char>& raw);
