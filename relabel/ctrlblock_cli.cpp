#include "relabel/ctrlblock_cli.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <system_error>
#include <vector>

#include "app/pe_image.h"
#include "relabel/block_edit.h"
#include "relabel/tool_files.h"

namespace fs = std::filesystem;

namespace {

constexpr int kBadInput = 2;
constexpr int kWriteFailed = 1;
// Far above any build of the client; keeps a wrong argument from reading a disk image.
constexpr uintmax_t kMaxProgramSize = 256u << 20;
constexpr uintmax_t kMaxProfileSize = 1u << 20;

constexpr const char* kUsage =
    "usage: ctrlblock show FILE | set FILE -o OUT Slot=value... | apply FILE PROFILE -o OUT";

bool SamePath(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec) && !ec;
}

// A program loaded into memory with the place of its block.
struct Program {
    std::vector<uint8_t> bytes;
    size_t blockAt = 0;

    relabel::Block ReadBlock() const {
        relabel::Block block;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(blockAt), block.size(), block.begin());
        return block;
    }
    void WriteBlock(const relabel::Block& block) {
        std::copy(block.begin(), block.end(), bytes.begin() + static_cast<std::ptrdiff_t>(blockAt));
        pe::UpdateChecksum(bytes);
    }
};

std::optional<Program> LoadProgram(const fs::path& path, std::ostream& err) {
    Program program;
    std::string reason;
    if (!ReadWholeFile(path, kMaxProgramSize, program.bytes, reason)) {
        err << "ctrlblock: " << reason << '\n';
        return std::nullopt;
    }
    const pe::CtrlLocation location = pe::FindCtrlBlock(program.bytes);
    if (location.error != pe::Error::None) {
        err << "ctrlblock: " << Shown(path) << ": " << pe::Describe(location.error) << '\n';
        return std::nullopt;
    }
    program.blockAt = location.fileOffset;
    return program;
}

void WarnAboutEmptyHosts(const relabel::Block& block, std::ostream& err) {
    for (const std::string& warning : relabel::EmptyHostWarnings(block)) err << "ctrlblock: warning: " << warning << '\n';
}

int Show(std::span<const std::string> args, std::ostream& out, std::ostream& err, const ICodePage& gbk) {
    if (args.size() != 1) {
        err << kUsage << '\n';
        return kBadInput;
    }
    const auto program = LoadProgram(PathFromUtf8(args[0]), err);
    if (!program) return kBadInput;
    const relabel::Block block = program->ReadBlock();
    for (const auto& slot : ctrl::AllSlots()) {
        out << slot.name << '=' << relabel::FormatSlot(block, slot, gbk) << '\n';
    }
    WarnAboutEmptyHosts(block, err);
    return 0;
}

// Splits "-o OUT" from the other arguments; false when it is missing or doubled.
bool TakeOutput(std::span<const std::string> args, std::string& output, std::vector<std::string>& rest) {
    bool found = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (found || i + 1 >= args.size()) return false;
            output = args[++i];
            found = true;
        } else {
            rest.push_back(args[i]);
        }
    }
    return found && !output.empty();
}

int Rewrite(const std::string& input, const std::string& output, std::ostream& err,
            const std::function<std::string(relabel::Block&)>& edit) {
    const fs::path inPath = PathFromUtf8(input);
    const fs::path outPath = PathFromUtf8(output);
    if (SamePath(inPath, outPath)) {
        err << "ctrlblock: OUT must differ from FILE\n";
        return kBadInput;
    }
    auto program = LoadProgram(inPath, err);
    if (!program) return kBadInput;
    relabel::Block block = program->ReadBlock();
    if (std::string reason = edit(block); !reason.empty()) {
        err << "ctrlblock: " << reason << '\n';
        return kBadInput;
    }
    if (pe::StripSignature(program->bytes)) {
        err << "ctrlblock: " << Shown(inPath) << " carries an Authenticode signature, which the new block breaks; "
            << Shown(outPath) << " is written without it: sign it again\n";
    }
    program->WriteBlock(block);
    std::error_code ec;
    const fs::perms perms = fs::status(inPath, ec).permissions();
    if (!WriteAtomically(outPath, program->bytes, ec ? fs::perms::owner_read | fs::perms::owner_write : perms)) {
        err << "ctrlblock: cannot write " << Shown(outPath) << '\n';
        return kWriteFailed;
    }
    return 0;
}

int Set(std::span<const std::string> args, std::ostream& err, const ICodePage& gbk) {
    std::string output;
    std::vector<std::string> rest;
    if (!TakeOutput(args, output, rest) || rest.size() < 2) {
        err << kUsage << '\n';
        return kBadInput;
    }
    const std::vector<std::string> assignments(rest.begin() + 1, rest.end());
    return Rewrite(rest[0], output, err, [&](relabel::Block& block) -> std::string {
        relabel::Block edited = block;
        for (const auto& assignment : assignments) {
            const size_t equals = assignment.find('=');
            if (equals == std::string::npos) return "expected Slot=value, got " + assignment;
            const std::string_view text(assignment);
            if (auto reason = relabel::SetSlot(edited, text.substr(0, equals), text.substr(equals + 1), gbk);
                !reason.empty()) {
                return reason;
            }
        }
        block = edited;
        return {};
    });
}

int Apply(std::span<const std::string> args, std::ostream& err, const ICodePage& gbk) {
    std::string output;
    std::vector<std::string> rest;
    if (!TakeOutput(args, output, rest) || rest.size() != 2) {
        err << kUsage << '\n';
        return kBadInput;
    }
    std::vector<uint8_t> profile;
    std::string reason;
    if (!ReadWholeFile(PathFromUtf8(rest[1]), kMaxProfileSize, profile, reason)) {
        err << "ctrlblock: " << reason << '\n';
        return kBadInput;
    }
    const std::string_view text(reinterpret_cast<const char*>(profile.data()), profile.size());
    return Rewrite(rest[0], output, err, [&](relabel::Block& block) {
        std::string why = relabel::ApplyProfile(block, text, gbk);
        if (why.empty()) WarnAboutEmptyHosts(block, err);
        return why.empty() ? why : rest[1] + ": " + why;
    });
}

}  // namespace

int RunCtrlBlock(std::span<const std::string> args, std::ostream& out, std::ostream& err, const ICodePage& gbk) {
    if (args.empty()) {
        err << kUsage << '\n';
        return kBadInput;
    }
    const std::string& command = args[0];
    const auto rest = args.subspan(1);
    if (command == "show") return Show(rest, out, err, gbk);
    if (command == "set") return Set(rest, err, gbk);
    if (command == "apply") return Apply(rest, err, gbk);
    err << kUsage << '\n';
    return kBadInput;
}
