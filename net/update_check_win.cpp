#include <windows.h>

#include "fw/handles_win.h"
#include "net/update_check.h"
#include "net/update_check_win.h"

namespace {

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

int CheckUpdate(const std::wstring& expectedTag, const std::wstring& clientVersion) {
    if (expectedTag.empty()) return 0;
    return CheckUpdateTag(expectedTag, ProgramPath(), clientVersion);
}

bool StartUpdateProcess(const std::wstring& programPath) {
    // The command line is the path as it is, then the switch; the program is
    // also named on its own so that a path with blanks cannot start a
    // different program found at a shorter prefix of it.
    std::wstring commandLine = programPath + L" /update";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process))
        return false;
    // Nothing waits for the new process: its handles are let go at once.
    const fw::ScopedKernelHandle thread(process.hThread), child(process.hProcess);
    return true;
}

bool RestartForUpdate() {
    const std::wstring path = ProgramPath();
    return !path.empty() && StartUpdateProcess(path);
}
