#pragma once

#include <windows.h>

#include <objbase.h>

#include <string>

// Places and facts the install step, the icon refresh and the uninstall share.

// The common application-data folder + "\7251\GameLogin"; empty when the
// system has none.
std::wstring InstallFolder();

// The program's folder (without its last backslash) and file name.
std::wstring FolderOf(const std::wstring& path);
std::wstring FileNameOf(const std::wstring& path);

// `shortName` + ".ico" in `folder`.
std::wstring IconFilePath(const std::wstring& folder, const std::wstring& shortName);

// The uninstall shortcut's name for a shortcut name.
std::wstring UninstallShortcutName(const std::wstring& name);

// The system's real major version (RtlGetVersion, asked once): the
// compatibility layer may report an older one to GetVersionEx.
DWORD WindowsMajorVersion();

// COM on this thread for a scope, undone only if it was entered here.
class CScopedCoInit {
public:
    CScopedCoInit() : m_entered(SUCCEEDED(CoInitialize(nullptr))) {}
    ~CScopedCoInit() {
        if (m_entered) CoUninitialize();
    }
    CScopedCoInit(const CScopedCoInit&) = delete;
    CScopedCoInit& operator=(const CScopedCoInit&) = delete;

private:
    bool m_entered;
};
