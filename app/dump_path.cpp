#include "app/dump_path.h"

std::wstring DumpPathFor(const std::wstring& programPath) {
    const size_t dot = programPath.rfind(L'.');
    const size_t separator = programPath.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (separator != std::wstring::npos && dot < separator)) return {};
    return programPath.substr(0, dot) + L".dmp";
}
