#include "app/ini_win.h"

#include <windows.h>

#include <vector>

#include "app/ini_rules.h"

namespace {

std::wstring CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::vector<wchar_t> buffer(size + 1, L'\0');
    const DWORD n = GetCurrentDirectoryW(size + 1, buffer.data());
    return n > 0 && n <= size ? std::wstring(buffer.data(), n) : std::wstring{};
}

// The application's name as the framework gives it: the program's base name.
std::wstring ApplicationName(const std::wstring& modulePath) {
    std::wstring name = modulePath.substr(modulePath.find_last_of(L"\\/") + 1);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

}  // namespace

std::wstring ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    // Long paths: grow until the whole name fits.
    while (buffer.size() <= 32768) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

CIni::CIni(const std::wstring& path, const std::wstring& section, bool resolveAgainstModule)
    : m_resolveAgainstModule(resolveAgainstModule ? 1 : 0) {
    const std::wstring module = ModulePath();
    m_path = ResolveIniPath(path, module, CurrentDirectory(), m_resolveAgainstModule == 1);
    m_section = section.empty() ? ApplicationName(module) : section;
}

bool CIni::WriteBinary(std::span<const uint8_t> bytes, const std::wstring* section, const std::wstring& key) {
    if (section != nullptr) m_section = *section;
    const std::wstring letters = LetterEncode(bytes);
    return WritePrivateProfileStringW(m_section.c_str(), key.c_str(), letters.c_str(), m_path.c_str()) != FALSE;
}
