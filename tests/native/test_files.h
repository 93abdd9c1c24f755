#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Helpers shared by native tests that work with files.
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::string ReadText(const std::filesystem::path& path);

// The Windows build's program, which `make test` builds before the native tests.
std::filesystem::path BuiltProgram();

// A fresh folder under the system temporary folder, removed with the object.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};
