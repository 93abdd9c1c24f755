#include "app/install_step_win.h"

#include <windows.h>

#include <direct.h>

#include "app/access_rights_win.h"
#include "app/autostart_win.h"
#include "app/fresh_program_start_win.h"
#include "app/install_paths_win.h"
#include "app/settings_store_win.h"
#include "browser/flash_bk_win.h"
#include "fw/handles_win.h"
#include "tools/shortcuts_win.h"
#include "ui/icons_win.h"

namespace {

constexpr unsigned kFlagStartInstalled = 3;
constexpr unsigned kFlagQuickLaunch = 7;
constexpr unsigned kFlagAutostart = 11;

// Copies beside the target and renames into place: an interrupted copy never
// leaves a half-written program where the shortcuts point.
bool CopyProgram(const std::wstring& from, const std::wstring& to) {
    const std::wstring temporary = to + L".new";
    if (!CopyFileW(from.c_str(), temporary.c_str(), FALSE)) return false;
    if (MoveFileExW(temporary.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

void StartInstalledCopy(const std::wstring& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    // The program's own name only, so that the copy sees no argument.
    StartFreshProgram(path, L"\"" + path + L"\"", IDLE_PRIORITY_CLASS, startup);
}

}  // namespace

bool CreateInstallFolder() {
    const std::wstring folder = InstallFolder();
    if (folder.empty()) return false;
    // The maker's folder above is shared with other programs: it gets these
    // rights only when this install makes it.
    const std::wstring parent = FolderOf(folder);
    if (GetFileAttributesW(parent.c_str()) == INVALID_FILE_ATTRIBUTES) {
        CreateFolderWithRights(parent, kInstallFolderRights);
    }
    if (!CreateFolderWithRights(folder, kInstallFolderRights)) return false;
    CreateFileWithRights(SettingsFilePath(), kSharedFileRights);
    return true;
}

std::wstring InstalledProgramPath(const std::wstring& programPath) {
    return InstallFolder() + L"\\" + FileNameOf(programPath);
}

bool InstallForMachine(const CCtrlBlock& block, const std::wstring& programPath) {
    CScopedCoInit com;
    if (!CreateInstallFolder()) return false;
    const std::wstring folder = InstallFolder();

    std::wstring iconFile = IconFilePath(folder, block.ShortName());
    CIcons icons;
    if (!icons.ReadIconGroup(programPath) || !icons.WriteIconFile(iconFile)) iconFile.clear();

    const std::wstring installed = InstalledProgramPath(programPath);
    if (_wcsicmp(installed.c_str(), programPath.c_str()) != 0) CopyProgram(programPath, installed);
    // The logo window writes its movie beside the program at each start,
    // which a user cannot do in this folder: it then plays this one.
    {
        const fw::ScopedModule image(LoadLibraryExW(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (image) WriteLogoMovie(image.Get(), folder + L"\\Logo.swf");
    }

    if (block.IsFlagSet(kFlagAutostart)) SetAutostart(block.ShortName(), installed);

    const std::wstring name = block.DisplayName();
    const std::wstring launch = block.LaunchSwitch();
    CreateDesktopShortcut(iconFile, name, installed, launch);
    CreateStartMenuShortcut(launch, installed, name, iconFile);
    CreateStartMenuShortcut(L"/uninst", installed, UninstallShortcutName(name), L"");
    return GetFileAttributesW(installed.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void InstallForUser(const CCtrlBlock& block, const std::wstring& programPath) {
    const std::wstring installed = InstalledProgramPath(programPath);
    if (block.IsFlagSet(kFlagQuickLaunch) && WindowsMajorVersion() < 10) {
        CScopedCoInit com;
        const std::wstring icon = IconFilePath(InstallFolder(), block.ShortName());
        CreateQuickLaunch(block.DisplayName(), installed,
                          GetFileAttributesW(icon.c_str()) != INVALID_FILE_ATTRIBUTES ? icon : std::wstring{},
                          block.LaunchSwitch());
    }
    if (block.IsFlagSet(kFlagStartInstalled)) StartInstalledCopy(installed);
}

void InstallProgram(const CCtrlBlock& block, const std::wstring& programPath) {
    if (!InstallForMachine(block, programPath)) return;
    InstallForUser(block, programPath);
}
