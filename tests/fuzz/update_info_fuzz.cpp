// The portal's update description: its parse, and the version comparison
// the client makes with what it reads.
#include "app/update_info.h"
#include "base/base64.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = fuzz::Bytes(data, size);
    UpdateInfo info;
    if (!ParseUpdateInfo(text, info)) {
        fuzz::Require(info.version.empty() && info.url.empty() && info.signature.empty(), "a refusal leaves nothing");
        const auto pieces = fuzz::Split(text, '\n', 2);
        if (pieces.size() == 2) {
            const int forward = CompareVersions(pieces[0], pieces[1]);
            const int backward = CompareVersions(pieces[1], pieces[0]);
            fuzz::Require((forward > 0) == (backward < 0) && (forward == 0) == (backward == 0), "comparison is antisymmetric");
            if (!IsDottedVersion(pieces[0])) fuzz::Require(forward <= 0, "malformed text never compares newer");
        }
        return 0;
    }
    fuzz::Require(IsDottedVersion(info.version), "the version is dotted decimal");
    fuzz::Require(CompareVersions(info.version, info.version) == 0, "a version equals itself");
    uint64_t bytes = 0;
    fuzz::Require(ParseByteCount(info.size, bytes), "the size is a byte count");
    fuzz::Require(info.sha256.size() == 64, "the digest has 64 digits");
    fuzz::Require(info.url.starts_with("http://") && info.url.size() <= update_info::kUrlMax, "the address fits");
    std::vector<unsigned char> der;
    fuzz::Require(Base64Decode(info.signature, der) && !der.empty(), "the signature decodes");
    fuzz::Require(Base64Encode(der) == info.signature, "the signature has one spelling");
    return 0;
}
