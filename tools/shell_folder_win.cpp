#include "tools/shell_folder_win.h"

#include <windows.h>

#include <shlobj.h>

std::wstring ShellFolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) || path[0] == L'\0') return {};
    return path;
}
