#include "app/machine_roads_win.h"

#include <windows.h>

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
    UninstallProgram(block, programPath, settings);
    notice(UninstalledText(block.TitleName()));
    // Last: the batch's bounded retries then only wait for processes that
    // are about to end, not for the user reading the notice.
    StartSelfDeleteBatch(programPath);
    return true;
}

}  // namespace

std::wstring InstallNeedsAdminText(const std::wstring& title) {
    return title + L"需要管理员权限才能安装，安装未完成。";
}

std::wstring UninstallNeedsAdminText(const std::wstring& title) {
    return title + L"需要管理员权限才能移除，移除未完成。";
}

bool RunInstallRoad(IElevation& elevation, const CCtrlBlock& block, const std::wstring& programPath,
                    const Notice& notice) {
    const MachineWork work =
        RunMachineWork(elevation, kElevatedInstallSwitch, [&] { return InstallMachinePart(block, programPath); });
    if (work == MachineWork::Refused || work == MachineWork::Failed) {
        notice(InstallNeedsAdminText(block.TitleName()));
        return false;
    }
    InstallForUser(block, programPath);
    return true;
}

bool RunUninstallRoad(IElevation& elevation, const CCtrlBlock& block, const std::wstring& programPath,
                      const Notice& notice) {
    const MachineWork work = RunMachineWork(elevation, kElevatedUninstallSwitch,
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
