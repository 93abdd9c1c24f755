#include "app/update_apply.h"

#include "net/update_download.h"

namespace {

constexpr size_t kElevatedArgumentCount = 5;

// The description's members are printable ASCII once parsed.
std::wstring Widened(const std::string& text) { return std::wstring(text.begin(), text.end()); }
std::string Narrowed(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) {
        if (c <= 0 || c > 0x7E) return {};
        out.push_back(static_cast<char>(c));
    }
    return out;
}

size_t NameStart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? 0 : slash + 1;
}

bool Accepted(const UpdateInfo& info, const UpdateContext& context, const std::vector<unsigned char>& file,
              const UpdateSignatureVerifier& verifier) {
    return CheckUpdateFile(info, context.updateKey, context.running, file, verifier) == UpdateVerdict::Accepted;
}

}  // namespace

std::wstring UpdateWorkPath(const std::wstring& program) { return program + L".new"; }
std::wstring UpdateAsidePath(const std::wstring& program) { return program + L".old"; }

bool ReplaceProgram(const std::wstring& program, const std::wstring& work, IUpdateHost& host) {
    const std::wstring aside = UpdateAsidePath(program);
    // A leftover of an earlier update whose removal failed.
    host.RemoveFile(aside);
    bool replaced = false;
    if (host.MoveFile(program, aside)) {
        replaced = host.MoveFile(work, program);
        if (!replaced) host.MoveFile(aside, program);
    }
    host.RemoveFile(work);
    return replaced;
}

std::vector<std::wstring> ElevatedReplaceArguments(const std::wstring& work, const UpdateInfo& info) {
    return {work, Widened(info.version), Widened(info.size), Widened(info.sha256), Widened(info.signature)};
}

bool RunElevatedReplace(std::span<const std::wstring> arguments, const UpdateContext& context, IUpdateHost& host,
                        const UpdateSignatureVerifier& verifier) {
    if (arguments.size() != kElevatedArgumentCount) return false;
    UpdateInfo info;
    info.version = Narrowed(arguments[1]);
    info.size = Narrowed(arguments[2]);
    info.sha256 = Narrowed(arguments[3]);
    info.signature = Narrowed(arguments[4]);
    uint64_t size = 0;
    if (!ParseByteCount(info.size, size)) return false;
    // The user's process checked the file too, but it lies where the user
    // can change it: only bytes checked here, in memory, are installed.
    std::vector<unsigned char> file;
    if (!host.ReadFile(arguments[0], size, file) || !Accepted(info, context, file, verifier)) return false;
    const std::wstring work = UpdateWorkPath(context.program);
    if (!host.WriteFile(work, file)) {
        host.RemoveFile(work);
        return false;
    }
    return ReplaceProgram(context.program, work, host);
}

UpdateOutcome RunUpdate(const UpdateContext& context, IUpdateHost& host, const UpdateSignatureVerifier& verifier) {
    // A build without a key accepts nothing, so it downloads nothing, and
    // its "/update" start is the plain start it always was.
    if (context.updateKey.empty()) return UpdateOutcome::NotOffered;
    UpdateInfo info;
    if (!ParseUpdateInfo(host.FetchText(context.descriptionAddress), info)) return UpdateOutcome::Failed;
    uint64_t size = 0;
    const std::wstring address = Widened(info.url);
    if (!ParseByteCount(info.size, size) || !IsMakerAddress(address, context.domains)) return UpdateOutcome::Failed;

    const std::wstring folder = context.program.substr(0, NameStart(context.program));
    const bool direct = host.CanWriteFolder(folder);
    const std::wstring besideWork = UpdateWorkPath(context.program);
    // Where the user may not write, the file waits in the user's own folder
    // for the elevated copy.
    const std::wstring work = direct ? besideWork : context.tempFolder + besideWork.substr(NameStart(besideWork));
    host.RemoveFile(work);
    std::vector<unsigned char> file;
    if (!host.Download(address, work, size) || !host.ReadFile(work, size, file) ||
        !Accepted(info, context, file, verifier)) {
        host.RemoveFile(work);
        return UpdateOutcome::Failed;
    }
    if (direct) {
        if (!ReplaceProgram(context.program, work, host)) return UpdateOutcome::Failed;
    } else {
        const bool replaced = host.ReplaceElevated(ElevatedReplaceArguments(work, info));
        host.RemoveFile(work);
        if (!replaced) return UpdateOutcome::Failed;
    }
    if (host.StartProgram(context.program)) return UpdateOutcome::Replaced;
    // A new program that cannot start is no update: the old one goes back
    // where the user can still reach it.
    if (direct) host.MoveFile(UpdateAsidePath(context.program), context.program);
    return UpdateOutcome::Failed;
}
