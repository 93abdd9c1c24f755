#include <windows.h>

#include "fw/handles_win.h"
#include "tools/file_tree.h"

namespace {

bool IsDots(const wchar_t* name) { return lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0; }

std::wstring WithBackslash(const std::wstring& path) {
    return path.back() == L'\\' || path.back() == L'/' ? path : path + L'\\';
}

// A trailing separator would make the system look through a link at its
// target; a drive's root keeps its own.
std::wstring WithoutBackslash(const std::wstring& path) {
    std::wstring out = path;
    while (out.size() > 1 && (out.back() == L'\\' || out.back() == L'/') && out[out.size() - 2] != L':') out.pop_back();
    return out;
}

// A junction or symbolic link to a folder: removing it must not reach into
// the folder it points at, which lies outside the tree being deleted.
bool IsFolderLink(const WIN32_FIND_DATAW& found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

bool DeleteTree(const std::wstring& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(WithoutBackslash(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (path.empty()) SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    // The tree given is itself a link: only the link goes, never what it
    // points at, which lies outside.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        const std::wstring link = WithoutBackslash(path);
        return ((attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(link.c_str()) : DeleteFileW(link.c_str())) !=
               FALSE;
    }
    const std::wstring folder = WithBackslash(path);
    DWORD fileError = 0;
    {
        WIN32_FIND_DATAW found{};
        fw::ScopedFind find(FindFirstFileW((folder + L"*").c_str(), &found));
        if (!find.IsValid()) return RemoveDirectoryW(path.c_str()) != FALSE;
        do {
            if (IsDots(found.cFileName)) continue;
            const std::wstring child = folder + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (IsFolderLink(found))
                    RemoveDirectoryW(child.c_str());
                else
                    DeleteTree(child);
                continue;
            }
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(child.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            if (!DeleteFileW(child.c_str())) fileError = GetLastError();
        } while (FindNextFileW(find.Get(), &found));
    }
    const bool removed = RemoveDirectoryW(path.c_str()) != FALSE;
    const DWORD removeError = removed ? 0 : GetLastError();
    if (fileError != 0 || !removed) {
        SetLastError(fileError != 0 ? fileError : removeError);
        return false;
    }
    return true;
}

int CountFiles(const std::wstring& path) {
    if (path.empty()) return 0;
    const std::wstring folder = WithBackslash(path);
    WIN32_FIND_DATAW found{};
    fw::ScopedFind find(FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find.IsValid()) return 1;
    int count = 0;
    do {
        if (IsDots(found.cFileName)) continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++count;
        else if (!IsFolderLink(found))
            count += CountFiles(folder + found.cFileName);
    } while (FindNextFileW(find.Get(), &found));
    return count;
}
