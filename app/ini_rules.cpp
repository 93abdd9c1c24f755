#include "app/ini_rules.h"

namespace {

bool HasDrive(std::wstring_view path) {
    if (path.size() < 2 || path[1] != L':') return false;
    const wchar_t c = path[0];
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

std::wstring_view FolderOf(std::wstring_view file) {
    const size_t slash = file.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? std::wstring_view{} : file.substr(0, slash + 1);
}

}  // namespace

std::wstring ResolveIniPath(std::wstring_view path, std::wstring_view exePath, std::wstring_view currentDir,
                            bool againstModule) {
    if (path.empty()) {
        const size_t slash = exePath.find_last_of(L"\\/");
        const size_t dot = exePath.rfind(L'.');
        const bool hasExtension = dot != std::wstring_view::npos && (slash == std::wstring_view::npos || dot > slash);
        return std::wstring(hasExtension ? exePath.substr(0, dot) : exePath) + L".ini";
    }
    if (HasDrive(path)) return std::wstring(path);
    if (againstModule) return std::wstring(FolderOf(exePath)) + std::wstring(path);
    std::wstring_view folder = currentDir;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.remove_suffix(1);
    return std::wstring(folder) + L"\\" + std::wstring(path);
}

std::wstring LetterEncode(std::span<const uint8_t> bytes) {
    std::wstring text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text += static_cast<wchar_t>(L'A' + (b & 0x0F));
        text += static_cast<wchar_t>(L'A' + (b >> 4));
    }
    return text;
}
