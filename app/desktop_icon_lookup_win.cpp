#include "app/desktop_icon_lookup_win.h"

#include <commctrl.h>

#include <cwchar>
#include <vector>

#include "app/desktop_icon_geometry.h"
#include "app/wow64_win.h"
#include "fw/handles_win.h"

namespace {

// A hung desktop must not hang the caller's window.
constexpr UINT kSendTimeoutMs = 1000;
constexpr int kWalkMax = 10000;

constexpr size_t kRectBytes = 16;
constexpr size_t kTextBytes = desktop_icon::kTextCapacity * sizeof(wchar_t);

// Memory in another process, freed with it.
class CRemoteBlock {
public:
    CRemoteBlock(HANDLE process, size_t size)
        : m_process(process),
          m_base(static_cast<BYTE*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    ~CRemoteBlock() {
        if (m_base != nullptr) VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
    }
    CRemoteBlock(const CRemoteBlock&) = delete;
    CRemoteBlock& operator=(const CRemoteBlock&) = delete;

    BYTE* At(size_t offset) const { return m_base + offset; }
    bool IsValid() const { return m_base != nullptr; }
    bool Write(size_t offset, const void* data, size_t size) const {
        SIZE_T done = 0;
        return WriteProcessMemory(m_process, At(offset), data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return ReadProcessMemory(m_process, At(offset), data, size, &done) && done == size;
    }

private:
    HANDLE m_process;
    BYTE* m_base;
};

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs,
                               result) != 0;
}

HWND ListViewBelow(HWND parent) {
    HWND view = FindWindowExW(parent, nullptr, L"SHELLDLL_DefView", nullptr);
    return view != nullptr ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
}

// The desktop's pointer width: that of the process owning the list view.
bool ProcessIs64Bit(HANDLE process) {
    if (IsRunningUnderWow64()) return true;  // ours is 32-bit on a 64-bit system
#if defined(_WIN64)
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return !(isWow64Process != nullptr && isWow64Process(process, &wow64) && wow64);
#else
    (void)process;
    return false;
#endif
}

fw::ScopedKernelHandle OpenListViewProcess(HWND list) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    if (processId == 0) return {};
    return fw::ScopedKernelHandle(OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, processId));
}

SIZE MeasureLabel(HWND list, const std::wstring& label) {
    fw::ScopedGetDc dc(list);
    RECT text{};
    if (dc.IsValid()) {
        DrawTextW(dc.Get(), label.c_str(), static_cast<int>(label.size()), &text, DT_CALCRECT);
    }
    return {text.right - text.left, text.bottom - text.top};
}

bool Lookup(HWND list, HANDLE process, const std::wstring& label, RECT& rect, bool layout64) {
    const size_t recordSize = layout64 ? desktop_icon::kItemRecordSize64 : desktop_icon::kItemRecordSize32;
    // One block: the rectangle, the item record, the text buffer.
    CRemoteBlock remote(process, kRectBytes + recordSize + kTextBytes);
    if (!remote.IsValid()) return false;
    const size_t recordAt = kRectBytes;
    const size_t textAt = kRectBytes + recordSize;
    const std::vector<uint8_t> record =
        desktop_icon::ItemTextRecord(layout64, reinterpret_cast<uintptr_t>(remote.At(textAt)));
    if (!layout64 && reinterpret_cast<uintptr_t>(remote.At(textAt)) > 0xFFFFFFFFu) return false;

    DWORD_PTR count = 0;
    if (!Send(list, LVM_GETITEMCOUNT, 0, 0, &count)) return false;
    for (DWORD_PTR item = 0; item < count; ++item) {
        wchar_t text[desktop_icon::kTextCapacity + 1] = {};
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        DWORD_PTR ignored = 0;
        if (!remote.Write(recordAt, record.data(), record.size()) || !remote.Write(0, &bounds, sizeof bounds)) {
            return false;
        }
        if (!Send(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote.At(recordAt)), &ignored) ||
            !Send(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(remote.At(0)), &ignored)) {
            return false;
        }
        if (!remote.Read(textAt, text, kTextBytes) || !remote.Read(0, &bounds, sizeof bounds)) return false;
        text[desktop_icon::kTextCapacity] = L'\0';
        if (_wcsicmp(text, label.c_str()) != 0) continue;

        const SIZE measured = MeasureLabel(list, label);
        const ui::PixelRect area = desktop_icon::IconAreaAboveLabel(
            {bounds.left, bounds.top, bounds.right, bounds.bottom}, measured.cx, measured.cy);
        rect = {area.left, area.top, area.right, area.bottom};
        return true;
    }
    return false;
}

}  // namespace

HWND FindDesktopListView() {
    HWND progman = FindWindowW(L"Progman", nullptr);
    if (progman != nullptr) {
        if (HWND list = FindWindowExW(progman, nullptr, L"SysListView32", nullptr)) return list;
        if (HWND list = ListViewBelow(progman)) return list;
    }
    // With a wallpaper slideshow the view moves to a "WorkerW" window that
    // follows Progman in the z-order.
    // Bounded: windows coming and going meanwhile could chain the walk round.
    int steps = 0;
    for (HWND top = progman != nullptr ? GetWindow(progman, GW_HWNDNEXT) : nullptr; top != nullptr && steps < kWalkMax;
         top = GetWindow(top, GW_HWNDNEXT), ++steps) {
        HWND view = FindWindowExW(top, nullptr, L"SHELLDLL_DefView", nullptr);
        if (HWND list = view != nullptr ? FindWindowExW(view, nullptr, L"SysListView32", L"FolderView") : nullptr) {
            return list;
        }
    }
    return nullptr;
}

bool FindDesktopIcon(const std::wstring& label, RECT& rect, bool layout64) {
    HWND list = FindDesktopListView();
    if (list == nullptr) return false;
    fw::ScopedKernelHandle process = OpenListViewProcess(list);
    if (!process) return false;
    rect = {};
    return Lookup(list, process.Get(), label, rect, layout64);
}

bool FindDesktopIcon(const std::wstring& label, RECT& rect) {
    HWND list = FindDesktopListView();
    if (list == nullptr) return false;
    fw::ScopedKernelHandle process = OpenListViewProcess(list);
    if (!process) return false;
    rect = {};
    return Lookup(list, process.Get(), label, rect, ProcessIs64Bit(process.Get()));
}
