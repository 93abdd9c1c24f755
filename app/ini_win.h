#pragma once

#include <cstdint>
#include <span>
#include <string>

// The profile-file accessor used for binary values: bytes go in as letters.
class CIni {
public:
    // An empty path is the program's own path with ".ini"; a path without a
    // drive is put below the program's folder (resolveAgainstModule, the
    // default) or the current directory. An empty section becomes the
    // application's name.
    CIni(const std::wstring& path, const std::wstring& section, bool resolveAgainstModule = true);

    // Writes the bytes in the letter encoding under (section, key); a given
    // section replaces the stored one. False when the file was not written.
    bool WriteBinary(std::span<const uint8_t> bytes, const std::wstring* section, const std::wstring& key);

    const std::wstring& Path() const { return m_path; }
    const std::wstring& Section() const { return m_section; }

private:
    int m_resolveAgainstModule;
    std::wstring m_path;
    std::wstring m_section;
};

// The running program's full path; empty when it cannot be read.
std::wstring ModulePath();
