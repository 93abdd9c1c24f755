// Two helper programs of the install tests, chosen by a definition:
//
// INSTALL_PAYLOAD: stands in for the client being installed or uninstalled.
// It carries the client's icon group, notes its command line in
// "<its path>.started" and, with "/wait", keeps running until
// "<its path>.release" appears.
//
// DESKTOP_CHILD: plays the shell's desktop in a process of its own: a
// "Progman" window with "SHELLDLL_DefView" and a "SysListView32" holding two
// labelled items. It writes the second item's bounds and its label's
// measured size into "<its path>.expected" and runs until "<its path>.release"
// appears.
#include <windows.h>

#include <commctrl.h>

#include <fstream>
#include <string>

namespace {

constexpr DWORD kRunLimitMs = 30000;

std::wstring Self() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WaitForRelease(const std::wstring& self, bool pump) {
    const DWORD start = GetTickCount();
    while (!Exists(self + L".release") && GetTickCount() - start < kRunLimitMs) {
        if (pump) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        Sleep(20);
    }
}

}  // namespace

#if defined(INSTALL_PAYLOAD)

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    const std::wstring self = Self();
    {
        std::wofstream marker((self + L".started").c_str());
        marker << GetCommandLineW();
    }
    if (std::wstring(commandLine).find(L"/wait") != std::wstring::npos) WaitForRelease(self, false);
    return 0;
}

#elif defined(DESKTOP_CHILD)

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    const std::wstring self = Self();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    for (const wchar_t* name : {L"Progman", L"SHELLDLL_DefView"}) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = instance;
        wc.lpszClassName = name;
        RegisterClassW(&wc);
    }
    HWND progman = CreateWindowExW(0, L"Progman", L"Program Manager", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                   instance, nullptr);
    HWND view = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, progman, nullptr,
                                instance, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"FolderView", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 800, 600, view,
                                nullptr, instance, nullptr);
    const wchar_t* labels[] = {L"回收站", L"Doln Game 梦幻"};
    for (int i = 0; i < 2; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(labels[i]);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&bounds));
    HDC dc = GetDC(list);
    RECT text{};
    DrawTextW(dc, labels[1], -1, &text, DT_CALCRECT);
    ReleaseDC(list, dc);
    {
        const std::wstring temporary = self + L".expected.new";
        std::ofstream out(temporary.c_str());
        out << bounds.left << ' ' << bounds.top << ' ' << bounds.right << ' ' << bounds.bottom << ' '
            << (text.right - text.left) << ' ' << (text.bottom - text.top) << '\n';
        out.close();
        MoveFileExW(temporary.c_str(), (self + L".expected").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    WaitForRelease(self, true);
    DestroyWindow(progman);
    return 0;
}

#endif
