#include <windows.h>

#include <io.h>
#include <share.h>
#include <stdio.h>

#include <string>

#include "net/work_file.h"

UniqueFile OpenDenyWrite(const std::wstring& path, const char* mode) {
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return UniqueFile(_wfsopen(path.c_str(), wideMode.c_str(), _SH_DENYWR));
}

int64_t FileSize(std::FILE* file) {
    if (file == nullptr || std::fflush(file) != 0) return -1;
    LARGE_INTEGER size{};
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle, &size)) return -1;
    return size.QuadPart;
}

bool MoveReplacing(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
