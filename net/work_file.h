#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The downloader's file calls: opening with the sharing the work file needs
// and the final move into place. Wide paths; the native build takes them as
// UTF-8.

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens with a C mode ("ab", "wb"), readers allowed, other writers denied.
UniqueFile OpenDenyWrite(const std::wstring& path, const char* mode);

// The file's size, or -1.
int64_t FileSize(std::FILE* file);

// Moves `from` over `to`, replacing an existing `to`, written through.
bool MoveReplacing(const std::wstring& from, const std::wstring& to);
