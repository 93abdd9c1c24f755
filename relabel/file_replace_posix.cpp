#include <cstdio>

#include "relabel/file_replace.h"

bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}
