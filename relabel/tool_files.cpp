#include "relabel/tool_files.h"

#include <fstream>
#include <system_error>

#include "relabel/file_replace.h"

namespace fs = std::filesystem;

fs::path PathFromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string Shown(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool ReadWholeFile(const fs::path& path, uintmax_t maxSize, std::vector<uint8_t>& bytes, std::string& reason) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        reason = "cannot read " + Shown(path);
        return false;
    }
    if (size > maxSize) {
        reason = Shown(path) + " is too large";
        return false;
    }
    // One read of the known size: a program is megabytes, too many for a
    // character-by-character copy.
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in || static_cast<uintmax_t>(in.gcount()) != size) {
        reason = "cannot read " + Shown(path);
        return false;
    }
    return true;
}

bool WriteAtomically(const fs::path& out, const std::vector<uint8_t>& bytes, fs::perms perms) {
    fs::path temp = out;
    temp += ".ctrlblock-tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file.good()) {
            file.close();
            std::error_code ec;
            fs::remove(temp, ec);
            return false;
        }
    }
    std::error_code ignored;
    fs::permissions(temp, perms, ignored);
    if (!ReplaceFileWith(temp, out)) {
        std::error_code ec;
        fs::remove(temp, ec);
        return false;
    }
    return true;
}
