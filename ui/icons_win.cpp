#include "ui/icons_win.h"

#include <new>

#include "fw/handles_win.h"
#include "fw/win_app_win.h"
#include "fw/wnd_win.h"

namespace {

constexpr UINT kIconGroupId = 128;

void Tell(const wchar_t* text, const std::wstring& caption) {
    HWND owner = nullptr;
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd != nullptr)
        owner = app->m_pMainWnd->GetSafeHwnd();
    MessageBoxW(owner, text, caption.c_str(), MB_OK);
}

#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

const BYTE* LockedResource(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD* size) {
    HRSRC found = FindResourceW(module, name, type);
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(loaded));
}

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

BOOL CIcons::ReadIconGroup(const std::wstring& path) {
    m_images.clear();
    m_source = path.substr(0, MAX_PATH - 1);
    m_secondName.clear();
    fw::ScopedModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) {
        Tell(L"装入文件时出错 - 请选择一个WIN32的DLL或EXE文件!", path);
        return FALSE;
    }
    DWORD groupSize = 0;
    const BYTE* group = LockedResource(module.Get(), MAKEINTRESOURCEW(kIconGroupId), RT_GROUP_ICON, &groupSize);
    if (group == nullptr || groupSize < sizeof(GroupHeader)) return FALSE;
    const auto* header = reinterpret_cast<const GroupHeader*>(group);
    // The directory must fit in the resource: a damaged group is refused, not read past.
    if (groupSize < sizeof(GroupHeader) + std::size_t{header->count} * sizeof(GroupEntry)) return FALSE;
    const auto* entries = reinterpret_cast<const GroupEntry*>(group + sizeof(GroupHeader));

    std::vector<icon::Image> images;
    try {
        images.resize(header->count);
    } catch (const std::bad_alloc&) {
        Tell(L"内存分配出错!", path);
        return FALSE;
    }
    for (WORD i = 0; i < header->count; ++i) {
        DWORD size = 0;
        const BYTE* bytes = LockedResource(module.Get(), MAKEINTRESOURCEW(entries[i].id), RT_ICON, &size);
        if (bytes == nullptr) return FALSE;
        const auto layout = icon::DescribeImage(bytes, size);
        if (!layout) {
            Tell(L"转换成图标内部格式时出错!", path);
            return FALSE;
        }
        images[i].data.assign(bytes, bytes + size);
        images[i].layout = *layout;
    }
    m_images = std::move(images);
    return TRUE;
}

BOOL CIcons::WriteIconFile(const std::wstring& path) const {
    const std::wstring temporary = path + L".tmp";
    fw::ScopedKernelHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        Tell(L"文件建立时出错!", path);
        return FALSE;
    }
    auto fail = [&] {
        file.Reset();
        DeleteFileW(temporary.c_str());
        return FALSE;
    };
    const std::vector<std::uint8_t> head = icon::HeaderAndDirectory(m_images);
    const std::vector<std::uint8_t> fileHeader(head.begin(), head.begin() + 6);
    if (!WriteAll(file.Get(), fileHeader)) {
        Tell(L"写图标文件头时出错!", path);
        return fail();
    }
    if (!WriteAll(file.Get(), std::vector<std::uint8_t>(head.begin() + 6, head.end()))) return fail();
    for (const icon::Image& image : m_images)
        if (!WriteAll(file.Get(), icon::ImageForFile(image))) return fail();
    file.Reset();
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return FALSE;
    }
    return TRUE;
}
