#include "tools/favourite_file_win.h"

#include <windows.h>

#include <shlobj.h>

#include "fw/handles_win.h"
#include "tools/shell_folder_win.h"
#include "tools/shortcut_names.h"

namespace {

// The text in the ANSI code page within kFavouriteTextMax bytes. A double-byte
// code page can need more bytes than characters: whole characters are dropped
// from the end until it fits, so the cut never halves a character (and the
// conversion never fails for want of room).
std::string ToAnsiWithinBound(std::wstring text) {
    for (;;) {
        const int length = static_cast<int>(text.size());
        const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        if (needed <= 0) return {};
        if (static_cast<size_t>(needed) <= kFavouriteTextMax) {
            std::string bytes(static_cast<size_t>(needed), '\0');
            WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
            return bytes;
        }
        text.pop_back();
        if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
    }
}

bool WriteWhole(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

bool WriteFavouriteFile(const std::wstring& folder, const std::wstring& name, const std::wstring& url) {
    if (folder.empty() || !IsPlainFileName(name)) return false;
    const std::string bytes = ToAnsiWithinBound(FavouriteText(url));
    const std::wstring path = folder + L"\\" + name + L".url";
    wchar_t temporary[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), L"fav", 0, temporary)) return false;
    bool written;
    {
        fw::ScopedKernelHandle file(
            CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file.IsValid() && WriteWhole(file.Get(), bytes) && FlushFileBuffers(file.Get());
    }
    if (written && MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(temporary);
    return false;
}

bool WriteFavourite(const std::wstring& name, const std::wstring& url) {
    return WriteFavouriteFile(ShellFolderPath(CSIDL_FAVORITES), name, url);
}
