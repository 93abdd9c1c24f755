#include "app/self_delete_batch.h"

#include <cwchar>

#include "tools/file_tree.h"

namespace {

// A folder that "rd" must never be pointed at, even though it would only
// remove an empty one: "X:" means the drive's current folder to cmd.
bool IsRootFolder(const std::wstring& folder) {
    if (folder.size() <= 3 && folder.size() >= 2 && folder[1] == L':') return true;
    if (folder.rfind(L"\\\\", 0) == 0) {
        // "\\server\share" and above.
        size_t separators = 0;
        for (size_t i = 2; i < folder.size(); ++i) separators += folder[i] == L'\\' ? 1 : 0;
        return separators < 2;
    }
    return false;
}

// cmd expands "%NAME%" even inside quotes; a doubled "%" is a literal one.
std::wstring EscapePercent(const std::wstring& path) {
    std::wstring out;
    for (wchar_t c : path) {
        out += c;
        if (c == L'%') out += L'%';
    }
    return out;
}

std::wstring Line(const wchar_t* command, const std::wstring& path) {
    return std::wstring(command) + L" \"" + EscapePercent(path) + L"\"\r\n";
}

}  // namespace

bool IsBatchSafePath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                       path[1] == L':' && path[2] == L'\\';
    const bool unc = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
    if (!drive && !unc) return false;
    for (size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if (c < 0x20 || std::wcschr(L"\"*?<>|", c) != nullptr) return false;
        if (c == L':' && !(drive && i == 1)) return false;
    }
    // Components "." and "..", and an empty one, which would let the line
    // name a file outside the folder it seems to name.
    size_t start = drive ? 3 : 2;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring part = path.substr(start, end - start);
        if (part.empty() || part == L"." || part == L"..") return false;
        start = end + 1;
    }
    return true;
}

std::optional<std::string> SelfDeleteBatch(const SelfDeletePaths& paths, int filesInFolder, const ICodePage& codePage,
                                           int attempts) {
    if (!IsBatchSafePath(paths.program) || !IsBatchSafePath(paths.batch)) return std::nullopt;
    if (!paths.reserved.empty() && !IsBatchSafePath(paths.reserved)) return std::nullopt;
    std::wstring folder;
    if (!SplitPath(paths.program, &folder, nullptr)) return std::nullopt;
    if (attempts < 1) attempts = 1;

    // "cd\" leaves the program's folder, which "rd" could not remove while
    // it is the batch's current one. ping by its full path: cmd looks in the
    // current folder before the system's. "/F /A" also takes a read-only
    // program; the wildcard-free, batch-safe path keeps it to that one file.
    std::wstring text = L"cd\\\r\nset corvane_tries=0\r\n:delexe\r\n\"%SystemRoot%\\System32\\ping.exe\" -n " +
                        std::to_wstring(self_delete::kPingCount) + L" 127.0.0.1 >nul\r\n";
    text += L"del /F /A \"" + EscapePercent(paths.program) + L"\"\r\n";
    text += L"if not exist \"" + EscapePercent(paths.program) + L"\" goto :gone\r\n";
    text += L"set /a corvane_tries+=1\r\nif %corvane_tries% LSS " + std::to_wstring(attempts) +
            L" goto :delexe\r\ngoto :done\r\n:gone\r\n";
    // Only "rd", which removes nothing but an empty folder: whatever came
    // into the folder after it was counted stays, and so does the folder.
    if (filesInFolder <= 1 && !IsRootFolder(folder)) text += Line(L"rd", folder);
    text += L":done\r\n";
    if (!paths.reserved.empty()) text += Line(L"del", paths.reserved);
    text += Line(L"del", paths.batch);

    std::string bytes;
    if (!codePage.FromWide(text, bytes) || bytes.size() >= self_delete::kTextMax) return std::nullopt;
    return bytes;
}
