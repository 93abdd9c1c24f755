#include "app/fresh_program_start_win.h"

#include "fw/handles_win.h"

namespace {

constexpr int kStartTries = 3;
constexpr DWORD kStartPauseMs = 1000;

}  // namespace

bool StartFreshProgram(const std::wstring& program, std::wstring commandLine, DWORD creationFlags,
                       const STARTUPINFOW& startup) {
    for (int attempt = 0; attempt < kStartTries; ++attempt) {
        if (attempt > 0) Sleep(kStartPauseMs);
        STARTUPINFOW info = startup;
        PROCESS_INFORMATION process{};
        // CreateProcessW may write into the command line: each try gets the
        // caller's text afresh.
        std::wstring line = commandLine;
        if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr,
                           &info, &process)) {
            const fw::ScopedKernelHandle thread(process.hThread), child(process.hProcess);
            return true;
        }
        // A program that is not there, or no program at all, will not become one.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_EXE_FORMAT) return false;
    }
    return false;
}
