#include "app/machine_roads_win.h"

#include <windows.h>

#include <optional>

#include "app/install_paths_win.h"
#include "app/install_step_win.h"
#include "app/settings_store_win.h"
#include "app/uninstall_win.h"

namespace {

bool InstallMachinePart(const CCtrlBlock& block, const std::wstring& programPath) {
    // The installed copy may read the mark at once; the folder that holds
    // the settings file does not exist on a bare machine before this.
    CreateInstallFolder();
    AppSettings().Write(settings::kInstallTag, L"1");
    return InstallForMachine(block, programPath);
}

bool UninstallMachinePart(const CCtrlBlock& block, const std::wstring& programPath, const Notice& notice) {
    CSettings settings = AppSettings();
    if (!UninstallProgram(block, programPath, settings)) return false;
    notice(UninstalledText(block.TitleName()));
    // Last: the batch's bounded retries then only wait for processes that
    // are about to end, not for the user reading the notice.
    StartSelfDeleteBatch(programPath);
    return true;
}

// The downloaded program usually lies in the browser's download folder,
// where any page may leave a DLL named like one the program imports; the
// elevated copy would load it with an administrator's rights. The copy is
// started instead from a folder of its own in the user's temporary folder,
// which holds nothing but the program, and removed afterwards.
class CPrivateCopy {
public:
    explicit CPrivateCopy(const std::wstring& program) {
        wchar_t temp[MAX_PATH] = {};
        const DWORD n = GetTempPathW(MAX_PATH, temp);
        wchar_t unique[MAX_PATH] = {};
        if (n == 0 || n >= MAX_PATH || GetTempFileNameW(temp, L"cvn", 0, unique) == 0) return;
        // The reserved name stays taken while the folder beside it is used.
        m_reserved = unique;
        const std::wstring folder = m_reserved + L".d";
        if (!CreateDirectoryW(folder.c_str(), nullptr)) return;
        m_folder = folder;
        const std::wstring path = folder + L"\\" + FileNameOf(program);
        if (CopyFileW(program.c_str(), path.c_str(), TRUE)) m_path = path;
    }
    ~CPrivateCopy() {
        if (!m_path.empty()) DeleteFileW(m_path.c_str());
        if (!m_folder.empty()) RemoveDirectoryW(m_folder.c_str());
        if (!m_reserved.empty()) DeleteFileW(m_reserved.c_str());
    }
    CPrivateCopy(const CPrivateCopy&) = delete;
    CPrivateCopy& operator=(const CPrivateCopy&) = delete;

    // Empty when the copy could not be made.
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_reserved, m_folder, m_path;
};

}  // namespace

std::wstring InstallNeedsAdminText(const std::wstring& title) {
    return title + L"需要管理员权限才能安装，安装未完成。";
}

std::wstring UninstallNeedsAdminText(const std::wstring& title) {
    return title + L"需要管理员权限才能移除，移除未完成。";
}

bool RunInstallRoad(IElevation& elevation, const CCtrlBlock& block, const std::wstring& programPath,
                    const Notice& notice) {
    std::optional<CPrivateCopy> copy;
    if (!elevation.IsElevated()) copy.emplace(programPath);
    // Without a private copy there is no safe place to elevate from: the
    // copy's road then fails.
    const std::wstring elevated = copy ? copy->Path() : std::wstring{};
    const MachineWork work = RunMachineWork(elevation, elevated, kElevatedInstallSwitch,
                                            [&] { return InstallMachinePart(block, programPath); });
    if (work == MachineWork::Refused || work == MachineWork::Failed) {
        notice(InstallNeedsAdminText(block.TitleName()));
        return false;
    }
    InstallForUser(block, programPath);
    return true;
}

bool RunUninstallRoad(IElevation& elevation, const CCtrlBlock& block, const std::wstring& programPath,
                      const Notice& notice) {
    // The installed program lies in the folder no user may write to.
    const MachineWork work = RunMachineWork(elevation, programPath, kElevatedUninstallSwitch,
                                            [&] { return UninstallMachinePart(block, programPath, notice); });
    if (work == MachineWork::Refused || work == MachineWork::Failed) {
        notice(UninstallNeedsAdminText(block.TitleName()));
        return false;
    }
    return true;
}

int RunElevatedWork(const std::vector<std::wstring>& args, const CCtrlBlock& block, const std::wstring& programPath,
                    const Notice& notice) {
    if (args.size() < 2) return -1;
    if (args[1] == kElevatedInstallSwitch) return InstallMachinePart(block, programPath) ? 0 : 1;
    if (args[1] == kElevatedUninstallSwitch) return UninstallMachinePart(block, programPath, notice) ? 0 : 1;
    return -1;
}
