#include "app/icon_refresh_win.h"

#include <windows.h>

#include <shlobj.h>

#include <optional>

#include "app/icon_info.h"
#include "app/install_paths_win.h"
#include "base/code_page_win.h"
#include "net/sock_down_file.h"
#include "tools/shortcut_names.h"
#include "tools/shortcuts_win.h"

namespace {

constexpr unsigned kFlagQuickLaunch = 7;
constexpr DWORD kDeleteSettleMs = 800;
// The sockets' default wait for data suits a transfer in progress, not a
// portal answering over the internet: with it the refresh would fail on any
// slower line. Start-up waits for the refresh, so the wait stays bounded.
constexpr unsigned kReceiveLimitMs = 3000;

void RemoveShortcuts(const std::wstring& name, const std::wstring& program) {
    DeleteDesktopShortcut(name, program);
    DeleteStartMenuShortcut(name, program);
    DeleteStartMenuShortcut(UninstallShortcutName(name), program);
    RemoveQuickLaunch(name, program);
}

}  // namespace

void RefreshDesktopItems() {
    SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW | SHCNF_FLUSH, nullptr, nullptr);
    HWND view = FindWindowExW(FindWindowW(L"Progman", nullptr), nullptr, L"SHELLDLL_DefView", nullptr);
    HWND list = FindWindowExW(view, nullptr, L"SysListView32", nullptr);
    if (list == nullptr) return;
    PostMessageW(list, WM_KEYDOWN, VK_F5, 0);
    PostMessageW(list, WM_KEYUP, VK_F5, 0);
}

bool FollowIconDescription(const CCtrlBlock& block, const std::wstring& programPath, const std::wstring& portalHost,
                           CSettings& settings) {
    // Without its own folder the icon would be written to the drive's root.
    const std::wstring programFolder = FolderOf(programPath);
    if (programFolder.empty()) return false;
    std::optional<IconInfo> info;
    {
        CSockDownFile client;
        client.SetReceiveLimit(kReceiveLimitMs);
        info = ParseIconInfo(client.HttpGetText(L"http://" + portalHost + IconDescriptionPath(block.GameCode(), block.Aid())));
    }
    // A name that is no plain file name would leave the old shortcuts
    // removed and no new ones made. A time or name that reads back otherwise
    // would refresh again at every start, or leave shortcuts no later
    // refresh or uninstall finds; a line break in either would write keys of
    // its own into the settings file.
    if (!info || !IsPlainFileName(info->name)) return false;
    const CWinCodePage fileCodePage(CP_ACP);
    if (!ReadsBackIdentically(settings::kIconTime, info->time, fileCodePage) ||
        !ReadsBackIdentically(settings::kIconName, info->name, fileCodePage)) {
        return false;
    }
    if (info->time == settings.Read(settings::kIconTime)) return false;

    const std::wstring iconFile = IconFilePath(programFolder, block.ShortName());
    {
        CSockDownFile download;
        download.SetReceiveLimit(kReceiveLimitMs);
        if (!download.DownloadFile(iconFile, info->url)) return false;
    }

    CScopedCoInit com;
    const std::wstring oldName = settings.Read(settings::kIconName);
    RemoveShortcuts(oldName.empty() ? block.DisplayName() : oldName, programPath);
    Sleep(kDeleteSettleMs);
    RefreshDesktopItems();

    const std::wstring launch = block.LaunchSwitch();
    CreateDesktopShortcut(iconFile, info->name, programPath, launch);
    CreateStartMenuShortcut(launch, programPath, info->name, iconFile);
    CreateStartMenuShortcut(L"/uninst", programPath, UninstallShortcutName(info->name), iconFile);
    if (block.IsFlagSet(kFlagQuickLaunch) && WindowsMajorVersion() < 10) {
        CreateQuickLaunch(info->name, programPath, iconFile, launch);
    }
    settings.Write(settings::kIconTime, info->time);
    settings.Write(settings::kIconName, info->name);
    return true;
}
