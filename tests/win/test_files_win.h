#pragma once

// File helpers shared by the Windows tests.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

// A path in the temporary folder, with no file left there from an earlier run.
inline std::wstring TempFile(const wchar_t* name) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring path = std::wstring(base) + name;
    DeleteFileW(path.c_str());
    return path;
}

inline std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
