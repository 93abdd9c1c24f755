#include "tools/shortcuts_win.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <versionhelpers.h>
#include <wrl/client.h>

#include <optional>

#include "app/ctrl_block.h"
#include "tools/file_tree.h"
#include "tools/shell_folder_win.h"
#include "tools/shortcut_names.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t kStartMenuFolder[] = L"7251登录器";
constexpr wchar_t kQuickLaunchFolder[] = L"\\Microsoft\\Internet Explorer\\Quick Launch";

// The callers (install, uninstall, the icon refresh) run on threads that may
// not have entered COM; the link object needs it for the call's duration.
class ScopedComInit {
public:
    ScopedComInit() : m_entered(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ScopedComInit() {
        if (m_entered) CoUninitialize();
    }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

private:
    bool m_entered;
};

bool FileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring LinkIn(int csidl, const wchar_t* subfolder, const std::wstring& name) {
    if (!IsPlainFileName(name)) return {};
    const std::wstring folder = ShellFolderPath(csidl);
    if (folder.empty()) return {};
    return folder + subfolder + L"\\" + name + L".lnk";
}

// The pins are shell verbs of the link file; systems without them (before
// Windows 7, or later ones that dropped them) refuse the verb, which is fine.
void RunVerb(const wchar_t* verb, const std::wstring& file) {
    ShellExecuteW(nullptr, verb, file.c_str(), nullptr, nullptr, SW_SHOW);
}

// The target a shell link file names, or nothing when the file is no link.
std::optional<std::wstring> LinkTarget(const std::wstring& path) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(path.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    wchar_t target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return std::nullopt;
    return std::wstring(target);
}

// The shortcut names come from the portal: a name of someone else's
// shortcut ("Google Chrome") must neither replace nor delete it. Only a
// place that is free or holds a link to `program` is ours to write.
bool IsFreeOrOurs(const std::wstring& path, const std::wstring& program) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    }
    return IsLinkTo(path, program);
}

BOOL DeleteIfOurs(const std::wstring& path, const std::wstring& program) {
    if (path.empty() || !IsLinkTo(path, program)) return FALSE;
    return DeleteFileW(path.c_str()) ? TRUE : FALSE;
}

// Writes the link beside its final place and moves it there, so that a
// failed save never leaves a half-written shortcut in place of a good one.
bool SaveLink(IPersistFile* file, const std::wstring& path) {
    const std::wstring temporary = path + L".new";
    if (FAILED(file->Save(temporary.c_str(), FALSE))) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool IsLinkTo(const std::wstring& path, const std::wstring& program) {
    if (path.empty() || program.empty()) return false;
    ScopedComInit com;
    const std::optional<std::wstring> target = LinkTarget(path);
    return target && CompareStringOrdinal(target->c_str(), static_cast<int>(target->size()), program.c_str(),
                                          static_cast<int>(program.size()), TRUE) == CSTR_EQUAL;
}

std::wstring DesktopShortcutPath(const std::wstring& name) { return LinkIn(CSIDL_COMMON_DESKTOPDIRECTORY, L"", name); }

// The user's own desktop folder as the shell names it: a path built from the
// documents folder's parent would miss it whenever documents are redirected,
// and would then delete a same-named file in some other folder.
std::wstring UserDesktopShortcutPath(const std::wstring& name) { return LinkIn(CSIDL_DESKTOPDIRECTORY, L"", name); }

std::wstring StartMenuShortcutPath(const std::wstring& name) {
    return LinkIn(CSIDL_COMMON_PROGRAMS, (std::wstring(L"\\") + kStartMenuFolder).c_str(), name);
}

std::wstring QuickLaunchPath(const std::wstring& name) { return LinkIn(CSIDL_APPDATA, kQuickLaunchFolder, name); }

BOOL CreateLink(const std::wstring& target, const std::wstring& iconFile, const std::wstring& shortcutPath,
                const std::wstring& arguments, const std::wstring& description) {
    if (shortcutPath.empty()) return FALSE;
    ScopedComInit com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)))) return FALSE;
    link->SetPath(target.c_str());
    link->SetIconLocation(iconFile.empty() ? target.c_str() : iconFile.c_str(), 0);
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file))) return FALSE;
    link->SetArguments(arguments.c_str());
    if (!description.empty()) link->SetDescription(description.c_str());
    std::wstring folder;
    if (SplitPath(target, &folder, nullptr)) link->SetWorkingDirectory(folder.c_str());
    return SaveLink(file.Get(), shortcutPath) ? TRUE : FALSE;
}

BOOL CreateDesktopShortcut(const std::wstring& iconFile, const std::wstring& name, const std::wstring& target,
                           const std::wstring& arguments) {
    if (!FileExists(target)) return FALSE;
    const std::wstring path = DesktopShortcutPath(name);
    if (path.empty() || !IsFreeOrOurs(path, target)) return FALSE;
    if (!CreateLink(target, iconFile, path, arguments, DesktopShortcutDescription(TheCtrlBlock().PortalHost())))
        return FALSE;
    // Only once the all-users link stands: the user keeps a working one.
    const std::wstring userPath = UserDesktopShortcutPath(name);
    if (!userPath.empty() && lstrcmpiW(userPath.c_str(), path.c_str()) != 0) DeleteIfOurs(userPath, target);
    return TRUE;
}

BOOL DeleteDesktopShortcut(const std::wstring& name, const std::wstring& program) {
    return DeleteIfOurs(DesktopShortcutPath(name), program);
}

BOOL CreateStartMenuShortcut(const std::wstring& arguments, const std::wstring& target, const std::wstring& name,
                             const std::wstring& iconFile) {
    if (!FileExists(target)) return FALSE;
    const std::wstring path = StartMenuShortcutPath(name);
    std::wstring folder;
    if (path.empty() || !SplitPath(path, &folder, nullptr)) return FALSE;
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!IsFreeOrOurs(path, target)) return FALSE;
    return CreateLink(target, iconFile, path, arguments, L"");
}

BOOL DeleteStartMenuShortcut(const std::wstring& name, const std::wstring& program) {
    return DeleteIfOurs(StartMenuShortcutPath(name), program);
}

BOOL CreateQuickLaunch(const std::wstring& name, const std::wstring& target, const std::wstring& iconFile,
                       const std::wstring& arguments) {
    if (!FileExists(target)) return FALSE;
    const std::wstring path = QuickLaunchPath(name);
    if (path.empty() || !IsFreeOrOurs(path, target)) return FALSE;
    const BOOL made = CreateLink(target, iconFile, path, arguments, L"");
    if (made && IsWindowsVistaOrGreater()) {
        RunVerb(L"TaskbarPin", path);
        RunVerb(L"StartPin", path);
    }
    return made;
}

BOOL RemoveQuickLaunch(const std::wstring& name, const std::wstring& program) {
    const std::wstring path = QuickLaunchPath(name);
    if (path.empty() || !IsLinkTo(path, program)) return FALSE;
    RunVerb(L"TaskbarUnpin", path);
    RunVerb(L"StartUnpin", path);
    return DeleteFileW(path.c_str()) ? TRUE : FALSE;
}
