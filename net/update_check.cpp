#include "net/update_check.h"

#include <algorithm>
#include <optional>

#include "base/ascii_case.h"
#include "net/md5.h"

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
    return EqualsNoCase(expectedTag, VersionTag(*hex, clientVersion)) ? 0 : 1;
}
