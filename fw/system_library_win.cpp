#include "fw/system_library_win.h"

namespace fw {

ScopedModule LoadSystemLibrary(const std::wstring& name) {
    wchar_t system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n + 1 + name.size() >= MAX_PATH) return {};
    const std::wstring path = std::wstring(system, n) + L"\\" + name;
    return ScopedModule(LoadLibraryW(path.c_str()));
}

}  // namespace fw
