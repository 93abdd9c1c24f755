#include "tools/file_tree.h"

bool SplitPath(const std::wstring& path, std::wstring* folder, std::wstring* name) {
    size_t at = path.rfind(L'\\');
    if (at == std::wstring::npos) at = path.rfind(L'/');
    if (at == std::wstring::npos) return false;
    if (folder) *folder = path.substr(0, at);
    if (name) *name = path.substr(at + 1);
    return true;
}
