#include "app/uninstall_win.h"

#include <windows.h>

#include <shlobj.h>

#include <cwchar>
#include <optional>

#include "app/autostart_win.h"
#include "base/code_page_win.h"
#include "app/install_paths_win.h"
#include "app/self_delete_batch.h"
#include "fw/handles_win.h"
#include "tools/file_tree.h"
#include "tools/shell_folder_win.h"
#include "tools/shortcuts_win.h"

namespace {

constexpr wchar_t kWebGamesShortcut[] = L"7251网页游戏";
constexpr wchar_t kStartMenuFolder[] = L"7251登录器";
constexpr wchar_t kBrowserEmulationKey[] =
    L"SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION";
constexpr wchar_t kUninstalledFormat[] = L"%s已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除";
constexpr size_t kUninstalledChars = 128;
constexpr size_t kPortlerChars = 32;

// "portler" + the program's file name in 32 characters, lower-cased and cut
// at its last "."; empty when nothing of the name is left, so that the bare
// "portler" key of some other program is never taken for ours.
std::wstring PortlerKeyName(const std::wstring& fileName) {
    std::wstring name = (L"portler" + fileName).substr(0, kPortlerChars - 1);
    CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name.size() > 7 ? name : std::wstring{};
}

// The items may have been written by a 32-bit or a 64-bit program, which
// see different halves of the machine's registry: both halves are cleaned.
constexpr REGSAM kRegistryViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

void RemoveRegistryItems(const std::wstring& shortName, const std::wstring& fileName) {
    for (REGSAM view : kRegistryViews) {
        // An empty short name would name the parent key of every build.
        if (!shortName.empty())
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\7251\\GameLogin\\" + shortName).c_str(), view, 0);
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kBrowserEmulationKey, 0, KEY_SET_VALUE | view, &opened) == ERROR_SUCCESS) {
            const fw::ScopedRegKey emulation(opened);
            RegDeleteValueW(emulation.Get(), fileName.c_str());
        }
    }
}

void RemoveShortcuts(const std::wstring& name, const std::wstring& program) {
    // A fixed name of the maker's own, not the portal's choice; it never
    // pointed at this program.
    if (const std::wstring webGames = DesktopShortcutPath(kWebGamesShortcut); !webGames.empty())
        DeleteFileW(webGames.c_str());
    DeleteDesktopShortcut(name, program);
    DeleteStartMenuShortcut(name, program);
    DeleteStartMenuShortcut(UninstallShortcutName(name), program);
    RemoveQuickLaunch(name, program);
}

void RemoveStartMenuFolderIfEmpty() {
    const std::wstring programs = ShellFolderPath(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) return;
    const std::wstring folder = programs + L"\\" + kStartMenuFolder;
    if (CountFiles(folder) == 0) RemoveDirectoryW(folder.c_str());
}

// The unique name also reserves itself as an empty file, which the batch
// removes when it is done; the batch is that name with ".bat" appended.
SelfDeletePaths TempBatchPaths(const std::wstring& programPath) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD n = GetTempPathW(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH) return {};
    wchar_t unique[MAX_PATH] = {};
    if (GetTempFileNameW(folder, L"DelSelf", 0, unique) == 0) return {};
    return {programPath, std::wstring(unique) + L".bat", unique};
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    // Created afresh: appending to a stale batch of the same name would run
    // its lines first.
    fw::ScopedKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

std::wstring StartSelfDeleteBatch(const std::wstring& programPath, int attempts) {
    const SelfDeletePaths paths = TempBatchPaths(programPath);
    if (paths.batch.empty()) return {};
    const auto discard = [&paths] {
        DeleteFileW(paths.batch.c_str());
        DeleteFileW(paths.reserved.c_str());
    };
    // Counted now, after the uninstall took its own files from the folder.
    const std::optional<std::string> text =
        SelfDeleteBatch(paths, CountFiles(FolderOf(programPath)), CWinCodePage(CP_OEMCP), attempts);
    if (!text || !WriteWhole(paths.batch, *text)) {
        discard();
        return {};
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    // The system's own cmd, named in full, without the AutoRun commands of
    // the registry; the outer quotes are the ones "/c" strips.
    wchar_t system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        discard();
        return {};
    }
    const std::wstring cmd = std::wstring(system, n) + L"\\cmd.exe";
    std::wstring commandLine = L"\"" + cmd + L"\" /d /c \"\"" + paths.batch + L"\"\"";
    // No console of its own to show (the client has none to share).
    if (!CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
        discard();
        return {};
    }
    SetThreadPriority(process.hThread, THREAD_PRIORITY_IDLE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return paths.batch;
}

bool UninstallProgram(const CCtrlBlock& block, const std::wstring& programPath, CSettings& settings) {
    // Without its own folder every file below would be taken from the
    // drive's root ("\\Logo.swf").
    const std::wstring folder = FolderOf(programPath);
    if (folder.empty()) return false;
    const std::wstring shortName = block.ShortName();
    const std::wstring fileName = FileNameOf(programPath);
    RemoveRegistryItems(shortName, fileName);

    {
        CScopedCoInit com;
        const std::wstring iconName = settings.Read(settings::kIconName);
        RemoveShortcuts(iconName.empty() ? block.DisplayName() : iconName, programPath);
        settings.Write(settings::kIconTime, L"");
        settings.Write(settings::kIconName, L"");
        RemoveStartMenuFolderIfEmpty();
    }

    DeleteFileW((folder + L"\\Logo.swf").c_str());
    DeleteFileW(IconFilePath(folder, shortName).c_str());

    const std::wstring portler = PortlerKeyName(fileName);
    if (!portler.empty()) {
        for (REGSAM view : kRegistryViews) RegDeleteKeyExW(HKEY_CLASSES_ROOT, portler.c_str(), view, 0);
    }

    ClearAutostart(shortName);
    return true;
}

std::wstring UninstalledText(const std::wstring& title) {
    wchar_t text[kUninstalledChars] = {};
    _snwprintf(text, kUninstalledChars - 1, kUninstalledFormat, title.c_str());
    return text;
}
