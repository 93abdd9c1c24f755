#pragma once

// Folder links (junctions, symbolic links) for the Windows tests.
#include <windows.h>

#include <string>

#include "tests/win/test_files_win.h"

// Wine creates no reparse points through the API but shows a Unix symbolic
// link as one, and cannot remove it either; under Wine the test makes and
// removes its link on the Unix side (Wine starts Unix programs too).
inline std::string UnixPath(const std::wstring& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName != nullptr ? unixName(path.c_str()) : nullptr;
    if (name == nullptr) return {};
    std::string out = name;
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

// Runs a Unix program and, since Wine cannot wait on one, waits until
// `done` holds.
template <class Done>
bool RunUnix(const wchar_t* program, const std::string& arguments, Done done) {
    std::wstring command = program + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 100 && !done(); ++i) Sleep(50);
    return done();
}

inline bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && Exists(link)) return true;
    const std::string from = UnixPath(target), to = UnixPath(link);
    if (from.empty() || to.empty()) return false;
    return RunUnix(L"Z:\\bin\\ln", " -s \"" + from + "\" \"" + to + "\"", [&] { return Exists(link); });
}

inline void RemoveFolderLink(const std::wstring& link) {
    if (RemoveDirectoryW(link.c_str()) && !Exists(link)) return;
    const std::string path = UnixPath(link);
    if (!path.empty()) RunUnix(L"Z:\\bin\\rm", " -f \"" + path + "\"", [&] { return !Exists(link); });
}

