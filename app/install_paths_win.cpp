#include "app/install_paths_win.h"

#include "app/settings_store.h"
#include "app/settings_store_win.h"
#include "tools/file_tree.h"

std::wstring InstallFolder() {
    const std::wstring common = CommonAppDataFolder();
    return common.empty() ? std::wstring{} : common + std::wstring(settings::kFolder);
}

std::wstring FolderOf(const std::wstring& path) {
    std::wstring folder;
    return SplitPath(path, &folder, nullptr) ? folder : std::wstring{};
}

std::wstring FileNameOf(const std::wstring& path) {
    std::wstring name;
    return SplitPath(path, nullptr, &name) ? name : path;
}

std::wstring IconFilePath(const std::wstring& folder, const std::wstring& shortName) {
    return folder + L"\\" + shortName + L".ico";
}

std::wstring UninstallShortcutName(const std::wstring& name) { return L"卸载 " + name; }

DWORD WindowsMajorVersion() {
    static const DWORD major = [] {
        using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        const auto getVersion = ntdll == nullptr ? nullptr
                                                 : reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
                                                       GetProcAddress(ntdll, "RtlGetVersion")));
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        return getVersion != nullptr && getVersion(&info) == 0 ? info.dwMajorVersion : DWORD{0};
    }();
    return major;
}
