#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/ctrl_block.h"
#include "app/update_info.h"

// Whether a downloaded file may replace the installed program. Only a file
// the operator signed, of the same game and channel and newer than the
// running build, passes; the transport is never trusted.

class UpdateSignatureVerifier {
public:
    virtual ~UpdateSignatureVerifier() = default;
    // spki: DER SubjectPublicKeyInfo of a P-256 key; signature: DER ECDSA
    // (what `openssl dgst -sha256 -sign` writes). True when it verifies over
    // SHA-256 of data.
    virtual bool Verify(const std::vector<unsigned char>& spki, const std::vector<unsigned char>& signature,
                        const unsigned char* data, size_t size) const = 0;
};

// The slots that say which build a program is, as the block stores them.
struct BuildIdentity {
    std::string shortName, gameCode, cid, clientVersion;
};

enum class UpdateVerdict {
    Accepted,
    NoKey,            // the build has no usable UpdateKey: it takes no updates
    SizeMismatch,     // the file's length is not "size"
    DigestMismatch,   // its SHA-256 is not "sha256"
    BadSignature,     // "signature" does not verify under the key
    NotAProgram,      // no PE program with a control block
    OtherBuild,       // another game's or channel's build
    VersionMismatch,  // its own version is not the description's
    NotNewer,         // not newer than the running build
};

// The identity in a block: the running program's own, or one read from a file.
BuildIdentity IdentityOf(std::span<const uint8_t, ctrl::kBlockSize> block);
BuildIdentity IdentityOf(const CCtrlBlock& block);

// The identity in the `.ctrl` section of a program file's bytes; `ok` false
// (and the identity empty) when the bytes are no PE program with that section.
BuildIdentity ReadBuildIdentity(const std::vector<unsigned char>& peFile, bool& ok);

// Every check, in this order, the first one that fails giving the verdict:
// a key, the size, the digest, the signature, then the file's own block.
// The cheap checks first, and nothing of the file is parsed before the
// signature has shown that the operator made it.
UpdateVerdict CheckUpdateFile(const UpdateInfo& info, const std::string& updateKeyBase64, const BuildIdentity& running,
                              const std::vector<unsigned char>& file, const UpdateSignatureVerifier& verifier);

// A short English name of the verdict, for tools and test output.
const char* Describe(UpdateVerdict verdict);
