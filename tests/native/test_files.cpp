#include "tests/native/test_files.h"

#include <unistd.h>

#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadText(const fs::path& path) {
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

fs::path BuiltProgram() { return fs::path(CORVANE_WIN_BIN) / "corvane.exe"; }

CTempDir::CTempDir() {
    std::random_device random;
    m_path = fs::temp_directory_path() / ("corvane-test-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    fs::create_directories(m_path);
}

CTempDir::~CTempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}
