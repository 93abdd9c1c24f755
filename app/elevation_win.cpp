#include "app/elevation_win.h"

#include <shellapi.h>

#include "app/ini_win.h"
#include "app/install_paths_win.h"
#include "fw/handles_win.h"

bool IsProcessElevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const fw::ScopedKernelHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size)) return false;
    return elevation.TokenIsElevated != 0;
}

ElevatedRun RunElevatedCopy(const std::wstring& parameters, DWORD& exitCode, HWND owner, DWORD waitMs) {
    return RunElevatedProgram(ModulePath(), parameters, exitCode, owner, waitMs);
}

ElevatedRun RunElevatedProgram(const std::wstring& program, const std::wstring& parameters, DWORD& exitCode,
                               HWND owner, DWORD waitMs) {
    exitCode = 0;
    if (program.empty()) return ElevatedRun::Failed;
    // The shell may hand the verb to its extensions, which need COM on the
    // calling thread; a thread that has it already keeps its own.
    CScopedCoInit com;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own: the caller answers a failure with
    // its skinned one.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    // Its own folder as the current one, not wherever this process stands.
    const std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        return GetLastError() == ERROR_CANCELLED ? ElevatedRun::Refused : ElevatedRun::Failed;
    }
    // A shell that handed the start to a running process has no handle to
    // give; nothing then tells when the work is done.
    if (info.hProcess == nullptr) return ElevatedRun::Failed;
    const fw::ScopedKernelHandle process(info.hProcess);
    if (WaitForSingleObject(process.Get(), waitMs) != WAIT_OBJECT_0) return ElevatedRun::Failed;
    return GetExitCodeProcess(process.Get(), &exitCode) ? ElevatedRun::Done : ElevatedRun::Failed;
}

namespace {

class CSystemElevation final : public IElevation {
public:
    bool IsElevated() const override { return IsProcessElevated(); }
    ElevatedRun RunElevated(const std::wstring& program, const std::wstring& parameters, DWORD& exitCode) override {
        return RunElevatedProgram(program, parameters, exitCode);
    }
};

}  // namespace

IElevation& SystemElevation() {
    static CSystemElevation elevation;
    return elevation;
}

MachineWork RunMachineWork(IElevation& elevation, const std::wstring& program, const std::wstring& parameters,
                           const std::function<bool()>& here) {
    if (elevation.IsElevated()) return here() ? MachineWork::DoneHere : MachineWork::Failed;
    DWORD exitCode = 0;
    switch (elevation.RunElevated(program, parameters, exitCode)) {
        case ElevatedRun::Done:
            return exitCode == 0 ? MachineWork::DoneElevated : MachineWork::Failed;
        case ElevatedRun::Refused:
            return MachineWork::Refused;
        case ElevatedRun::Failed:
            break;
    }
    return MachineWork::Failed;
}
