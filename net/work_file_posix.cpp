#include <sys/stat.h>

#include <cstdio>

#include "base/utf8.h"
#include "net/work_file.h"

UniqueFile OpenDenyWrite(const std::wstring& path, const char* mode) {
    return UniqueFile(std::fopen(WideToUtf8(path).c_str(), mode));
}

int64_t FileSize(std::FILE* file) {
    struct stat info{};
    if (file == nullptr || std::fflush(file) != 0 || fstat(fileno(file), &info) != 0) return -1;
    return static_cast<int64_t>(info.st_size);
}

bool MoveReplacing(const std::wstring& from, const std::wstring& to) {
    return std::rename(WideToUtf8(from).c_str(), WideToUtf8(to).c_str()) == 0;
}
