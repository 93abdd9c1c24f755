#include "relabel/updatesign_cli.h"

#include <json/json.h>

#include <optional>
#include <system_error>
#include <vector>

#include "app/pe_image.h"
#include "app/update_accept.h"
#include "app/update_info.h"
#include "base/ascii_case.h"
#include "base/base64.h"
#include "net/md5.h"
#include "net/sha256.h"
#include "net/update_check.h"
#include "net/update_download.h"
#include "relabel/tool_files.h"
#include "relabel/update_signer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRefused = 1;
constexpr int kBadInput = 2;
constexpr uintmax_t kMaxProgramSize = 256u << 20;
constexpr uintmax_t kMaxKeySize = 64u << 10;
constexpr uintmax_t kMaxDescriptionSize = 1u << 20;

constexpr const char* kUsage =
    "usage: updatesign keygen KEY | pubkey KEY | describe PROGRAM URL -k KEY [-o OUT] | "
    "verify DESCRIPTION FILE INSTALLED";

// Slots and descriptions hold ASCII; this widening is exact for them.
std::wstring Widened(std::string_view text) { return std::wstring(text.begin(), text.end()); }

std::string Narrowed(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += static_cast<char>(c);
    return out;
}

struct Program {
    std::vector<uint8_t> bytes;
    size_t blockAt = 0;

    std::span<const uint8_t, ctrl::kBlockSize> Block() const {
        return std::span<const uint8_t, ctrl::kBlockSize>(bytes.data() + blockAt, ctrl::kBlockSize);
    }
    std::string Slot(ctrl::Slot slot) const { return std::string(ctrl::SlotText(Block(), slot)); }
};

std::optional<Program> LoadProgram(const std::string& path, std::ostream& err) {
    Program program;
    std::string reason;
    if (!ReadWholeFile(PathFromUtf8(path), kMaxProgramSize, program.bytes, reason)) {
        err << "updatesign: " << reason << '\n';
        return std::nullopt;
    }
    const pe::CtrlLocation location = pe::FindCtrlBlock(program.bytes);
    if (location.error != pe::Error::None) {
        err << "updatesign: " << path << ": " << pe::Describe(location.error) << '\n';
        return std::nullopt;
    }
    program.blockAt = location.fileOffset;
    return program;
}

std::optional<std::string> LoadText(const std::string& path, uintmax_t maxSize, std::ostream& err) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(PathFromUtf8(path), maxSize, bytes, reason)) {
        err << "updatesign: " << reason << '\n';
        return std::nullopt;
    }
    return std::string(bytes.begin(), bytes.end());
}

std::optional<std::string> LoadPrivateKey(const std::string& path, std::string& publicBase64, std::ostream& err) {
    std::optional<std::string> pem = LoadText(path, kMaxKeySize, err);
    if (pem && !PublicKeyOf(*pem, publicBase64)) {
        err << "updatesign: " << path << " holds no P-256 private key\n";
        return std::nullopt;
    }
    return pem;
}

// The tag the update check compares: the file's MD5 digits and its version.
std::string VersionTagOf(const std::vector<uint8_t>& bytes, const std::string& version) {
    CMd5 md5;
    md5.Update(bytes.data(), bytes.size());
    return Narrowed(VersionTag(Md5Hex(md5.Final()), Widened(version)));
}

bool WriteText(const std::string& path, const std::string& text, fs::perms perms, std::ostream& err) {
    if (!WriteAtomically(PathFromUtf8(path), std::vector<uint8_t>(text.begin(), text.end()), perms)) {
        err << "updatesign: cannot write " << path << '\n';
        return false;
    }
    return true;
}

int KeyGen(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << kUsage << '\n';
        return kBadInput;
    }
    std::error_code ec;
    // A key replaced by mistake would orphan every installed build that trusts it.
    if (fs::exists(PathFromUtf8(args[0]), ec) || ec) {
        err << "updatesign: " << args[0] << " exists; a key is never overwritten\n";
        return kBadInput;
    }
    std::string pem, publicBase64;
    if (!MakeUpdateKey(pem, publicBase64)) {
        err << "updatesign: no key could be made\n";
        return kRefused;
    }
    if (!WriteText(args[0], pem, fs::perms::owner_read | fs::perms::owner_write, err)) return kRefused;
    out << publicBase64 << '\n';
    return 0;
}

int PubKey(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << kUsage << '\n';
        return kBadInput;
    }
    std::string publicBase64;
    if (!LoadPrivateKey(args[0], publicBase64, err)) return kBadInput;
    out << publicBase64 << '\n';
    return 0;
}

int Describe(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> positional;
    std::string keyPath, outPath;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string* option = args[i] == "-k" ? &keyPath : (args[i] == "-o" ? &outPath : nullptr);
        if (option == nullptr) {
            positional.push_back(args[i]);
        } else if (i + 1 >= args.size() || !option->empty()) {
            err << kUsage << '\n';
            return kBadInput;
        } else {
            *option = args[++i];
        }
    }
    if (positional.size() != 2 || keyPath.empty()) {
        err << kUsage << '\n';
        return kBadInput;
    }
    const std::string& url = positional[1];
    const std::optional<Program> program = LoadProgram(positional[0], err);
    if (!program) return kBadInput;
    std::string publicBase64;
    const std::optional<std::string> pem = LoadPrivateKey(keyPath, publicBase64, err);
    if (!pem) return kBadInput;
    const std::string version = program->Slot(ctrl::Slot::ClientVersion);
    if (!IsDottedVersion(version)) {
        err << "updatesign: " << positional[0] << ": ClientVersion \"" << version << "\" is no dotted decimal version\n";
        return kBadInput;
    }

    std::vector<unsigned char> signature;
    if (!SignUpdate(*pem, program->bytes.data(), program->bytes.size(), signature)) {
        err << "updatesign: signing failed\n";
        return kRefused;
    }
    Json::Value root(Json::objectValue);
    root["version"] = version;
    root["tag"] = VersionTagOf(program->bytes, version);
    root["url"] = url;
    root["size"] = std::to_string(program->bytes.size());
    root["sha256"] = Sha256Hex(program->bytes.data(), program->bytes.size());
    root["signature"] = Base64Encode(signature);
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "  ";
    const std::string text = Json::writeString(writer, root) + "\n";

    // What the client would refuse to read is never published.
    UpdateInfo check;
    if (!ParseUpdateInfo(text, check)) {
        err << "updatesign: " << url
            << " is no address the client takes (http://, a host, printable ASCII without blanks, at most "
            << update_info::kUrlMax << " characters)\n";
        return kBadInput;
    }
    if (program->Slot(ctrl::Slot::UpdateKey) != publicBase64) {
        err << "updatesign: warning: " << positional[0]
            << " does not carry this key in UpdateKey: once installed it refuses the next update signed with it\n";
    }
    if (!IsMakerAddress(Widened(url), Widened(program->Slot(ctrl::Slot::UpdateDomains)))) {
        err << "updatesign: warning: " << url << " lies outside " << positional[0]
            << "'s UpdateDomains: builds with those domains refuse to download it\n";
    }
    if (outPath.empty()) {
        out << text;
        return 0;
    }
    return WriteText(outPath, text, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                        fs::perms::others_read,
                     err)
               ? 0
               : kRefused;
}

int Verify(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << kUsage << '\n';
        return kBadInput;
    }
    const std::optional<std::string> description = LoadText(args[0], kMaxDescriptionSize, err);
    if (!description) return kBadInput;
    std::vector<uint8_t> file;
    std::string reason;
    if (!ReadWholeFile(PathFromUtf8(args[1]), kMaxProgramSize, file, reason)) {
        err << "updatesign: " << reason << '\n';
        return kBadInput;
    }
    const std::optional<Program> installed = LoadProgram(args[2], err);
    if (!installed) return kBadInput;

    UpdateInfo info;
    if (!ParseUpdateInfo(*description, info)) {
        err << "refused: " << args[0] << " is no well-formed update description\n";
        return kRefused;
    }
    // The update check before any download: the expected tag, or the
    // description's, against the installed program's own.
    const std::string expected = installed->Slot(ctrl::Slot::ExpectedTag);
    const std::string ownTag = VersionTagOf(installed->bytes, installed->Slot(ctrl::Slot::ClientVersion));
    if (EqualsNoCase(Widened(expected.empty() ? info.tag : expected), Widened(ownTag))) {
        err << "refused: the installed client's version tag is the expected one, so it finds itself up to date\n";
        return kRefused;
    }
    if (!IsMakerAddress(Widened(info.url), Widened(installed->Slot(ctrl::Slot::UpdateDomains)))) {
        err << "refused: " << info.url << " lies outside the installed build's UpdateDomains\n";
        return kRefused;
    }
    COpenSslVerifier verifier;
    const UpdateVerdict verdict = CheckUpdateFile(info, installed->Slot(ctrl::Slot::UpdateKey),
                                                  IdentityOf(installed->Block()), file, verifier);
    if (verdict != UpdateVerdict::Accepted) {
        err << "refused: " << ::Describe(verdict) << '\n';
        return kRefused;
    }
    out << "accepted: " << args[2] << " (" << installed->Slot(ctrl::Slot::ClientVersion) << ") takes " << args[1]
        << " (" << info.version << ")\n";
    return 0;
}

}  // namespace

int RunUpdateSign(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage << '\n';
        return kBadInput;
    }
    const std::string& command = args[0];
    const auto rest = args.subspan(1);
    if (command == "keygen") return KeyGen(rest, out, err);
    if (command == "pubkey") return PubKey(rest, out, err);
    if (command == "describe") return Describe(rest, out, err);
    if (command == "verify") return Verify(rest, out, err);
    err << kUsage << '\n';
    return kBadInput;
}
