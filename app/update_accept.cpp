#include "app/update_accept.h"

#include "app/pe_image.h"
#include "base/base64.h"
#include "net/sha256.h"

BuildIdentity IdentityOf(std::span<const uint8_t, ctrl::kBlockSize> block) {
    const auto text = [&](ctrl::Slot slot) { return std::string(ctrl::SlotText(block, slot)); };
    return {text(ctrl::Slot::ShortName), text(ctrl::Slot::GameCode), text(ctrl::Slot::Cid),
            text(ctrl::Slot::ClientVersion)};
}

BuildIdentity IdentityOf(const CCtrlBlock& block) {
    return {std::string(block.SlotBytes(ctrl::Slot::ShortName)), std::string(block.SlotBytes(ctrl::Slot::GameCode)),
            std::string(block.SlotBytes(ctrl::Slot::Cid)), std::string(block.SlotBytes(ctrl::Slot::ClientVersion))};
}

BuildIdentity ReadBuildIdentity(const std::vector<unsigned char>& peFile, bool& ok) {
    const pe::CtrlLocation location = pe::FindCtrlBlock(peFile);
    ok = location.error == pe::Error::None;
    if (!ok) return {};
    return IdentityOf(std::span<const uint8_t, ctrl::kBlockSize>(peFile.data() + location.fileOffset, ctrl::kBlockSize));
}

UpdateVerdict CheckUpdateFile(const UpdateInfo& info, const std::string& updateKeyBase64, const BuildIdentity& running,
                              const std::vector<unsigned char>& file, const UpdateSignatureVerifier& verifier) {
    std::vector<unsigned char> key;
    if (updateKeyBase64.empty() || !Base64Decode(updateKeyBase64, key)) return UpdateVerdict::NoKey;

    uint64_t size = 0;
    if (!ParseByteCount(info.size, size) || size != file.size()) return UpdateVerdict::SizeMismatch;
    if (Sha256Hex(file.data(), file.size()) != info.sha256) return UpdateVerdict::DigestMismatch;

    std::vector<unsigned char> signature;
    if (!Base64Decode(info.signature, signature) || signature.empty() ||
        !verifier.Verify(key, signature, file.data(), file.size())) {
        return UpdateVerdict::BadSignature;
    }

    bool isProgram = false;
    const BuildIdentity candidate = ReadBuildIdentity(file, isProgram);
    if (!isProgram) return UpdateVerdict::NotAProgram;
    if (candidate.shortName != running.shortName || candidate.gameCode != running.gameCode ||
        candidate.cid != running.cid) {
        return UpdateVerdict::OtherBuild;
    }
    if (candidate.clientVersion != info.version) return UpdateVerdict::VersionMismatch;
    if (CompareVersions(candidate.clientVersion, running.clientVersion) <= 0) return UpdateVerdict::NotNewer;
    return UpdateVerdict::Accepted;
}

const char* Describe(UpdateVerdict verdict) {
    switch (verdict) {
        case UpdateVerdict::Accepted: return "accepted";
        case UpdateVerdict::NoKey: return "the build has no update key";
        case UpdateVerdict::SizeMismatch: return "the file's size differs from the description's";
        case UpdateVerdict::DigestMismatch: return "the file's SHA-256 differs from the description's";
        case UpdateVerdict::BadSignature: return "the signature does not verify under the update key";
        case UpdateVerdict::NotAProgram: return "the file is no program with a control block";
        case UpdateVerdict::OtherBuild: return "the file is another game's or channel's build";
        case UpdateVerdict::VersionMismatch: return "the file's version differs from the description's";
        case UpdateVerdict::NotNewer: return "the file is not newer than the running build";
    }
    return "unknown verdict";
}
