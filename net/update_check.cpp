#include "net/update_check.h"

#include <algorithm>
#include <optional>

#include "net/md5.h"

namespace {

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

}  // namespace

std::wstring VersionTag(const std::wstring& digestHex, const std::wstring& clientVersion) {
    std::wstring version;
    std::copy_if(clientVersion.begin(), clientVersion.end(), std::back_inserter(version),
                 [](wchar_t c) { return c != L'.'; });
    const size_t keep = version.size() < 32 ? 32 - version.size() : 0;
    return digestHex.substr(0, keep) + version;
}

int CheckUpdateTag(const std::wstring& expectedTag, const std::wstring& programPath,
                   const std::wstring& clientVersion) {
    if (expectedTag.empty()) return 0;
    const std::optional<std::wstring> hex = Md5File(programPath);
    if (!hex) return 1;
    return SameIgnoringCase(expectedTag, VersionTag(*hex, clientVersion)) ? 0 : 1;
}
