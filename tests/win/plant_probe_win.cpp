// Two helpers of the sound mute test, chosen by a definition:
//
// PLANT_DLL: a library that stands in for one another user dropped beside
// the program under the name of a system library.
//
// PLANT_CHILD: redirects the client's sound functions and exits with 1 when
// a library from its own folder got loaded in the process, else 0.
#include <windows.h>

#if defined(PLANT_DLL)

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

#elif defined(PLANT_CHILD)

#include <psapi.h>

#include <string>

#include "tools/sound_mute_win.h"

int wmain() {
    SetInterceptedMute(FALSE);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) return 2;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(modules[i], path, MAX_PATH);
        if (modules[i] != GetModuleHandleW(nullptr) && _wcsnicmp(path, folder.c_str(), folder.size()) == 0) return 1;
    }
    return 0;
}

#endif
