#include "net/update_download.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/ascii_case.h"
#include "net/http_url.h"
#include "net/work_file.h"

namespace {

std::wstring Trimmed(const std::wstring& text) {
    const size_t begin = text.find_first_not_of(L" \t");
    if (begin == std::wstring::npos) return {};
    return text.substr(begin, text.find_last_not_of(L" \t") - begin + 1);
}

}  // namespace

bool ParseDownloadAddress(const std::wstring& address, CDownloadTarget& target) {
    if (address.size() >= kUpdateAddressMax) return false;
    const std::optional<HttpTarget> parsed = ParseHttpUrl(address, PortSyntax::Strict);
    if (!parsed) return false;
    target = {parsed->host, parsed->port, parsed->object};
    return true;
}

bool IsMakerAddress(const std::wstring& address, const std::wstring& domains) {
    CDownloadTarget target;
    if (!ParseDownloadAddress(address, target)) return false;
    const std::wstring host = AsciiLowered(target.host);
    size_t begin = 0;
    while (begin <= domains.size()) {
        const size_t end = std::min(domains.find(L';', begin), domains.size());
        const std::wstring domain = AsciiLowered(Trimmed(domains.substr(begin, end - begin)));
        begin = end + 1;
        if (domain.empty()) continue;
        if (host == domain) return true;
        if (host.size() > domain.size() && host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
            host[host.size() - domain.size() - 1] == L'.')
            return true;
    }
    return false;
}

int DownloadPercent(uint64_t done, uint64_t total) {
    if (total == 0 || done >= total) return 100;
    return static_cast<int>(done * 100 / total);
}

bool RunUpdateDownload(const CUpdateJob& job, IUpdateRequest& request, const std::function<void(int)>& progress,
                       const std::atomic<bool>& cancel) {
    CDownloadTarget target;
    if (!IsMakerAddress(job.address, job.domains) || !ParseDownloadAddress(job.address, target)) return false;
    if (cancel || !request.Open(target) || request.StatusCode() == 404) return false;
    uint32_t total = 0;
    if (!request.ContentLength(total) || total > job.sizeLimit) return false;
    UniqueFile file = OpenDenyWrite(job.destination, "wb");
    if (!file) return false;
    uint64_t done = 0;
    int shown = -1;
    std::vector<char> buffer(kUpdateReadSize);
    // Never past the announced length: a server that sends on cannot fill
    // the disk.
    while (!cancel && done < total) {
        const size_t want = total - done < buffer.size() ? static_cast<size_t>(total - done) : buffer.size();
        const long n = request.Read(buffer.data(), want);
        // A cancel during the read: nothing more reaches the file.
        if (n <= 0 || cancel) break;
        if (std::fwrite(buffer.data(), 1, static_cast<size_t>(n), file.get()) != static_cast<size_t>(n)) break;
        done += static_cast<uint64_t>(n);
        const int percent = DownloadPercent(done, total);
        if (percent != shown) {
            shown = percent;
            progress(percent);
        }
    }
    if (std::fflush(file.get()) != 0) return false;
    return !cancel && done >= total;
}
