#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The update dialog's download, apart from its window: the address rules,
// the maker's domain check, the read loop and its percentage. The HTTP
// request itself is a seam (WinINet in the program).

struct CDownloadTarget {
    std::wstring host;
    unsigned port = 80;
    std::wstring object;
};

// The dialog's address buffer; a longer address is refused.
constexpr size_t kUpdateAddressMax = 512;

// "http://" + host[:port] + "/" + object, split as the GET helper splits its
// URLs (the same host and object bounds) but with a strict port. False for
// another scheme, a bad port or text over the bounds.
bool ParseDownloadAddress(const std::wstring& address, CDownloadTarget& target);

// True when the address's host is one of the ";"-separated domains or lies
// below one of them ("cdn.maker.com" under "maker.com"), without regard to
// case. The host is compared, not the whole address, so that a path or a
// query naming the domain does not pass.
bool IsMakerAddress(const std::wstring& address, const std::wstring& domains);

// done * 100 / total in 64 bits, never above 100; 100 for an empty file.
int DownloadPercent(uint64_t done, uint64_t total);

// One HTTP GET, opened and sent by Open.
class IUpdateRequest {
public:
    virtual ~IUpdateRequest() = default;
    virtual bool Open(const CDownloadTarget& target) = 0;
    // The status code, or 0 when it cannot be read.
    virtual int StatusCode() = 0;
    virtual bool ContentLength(uint32_t& length) = 0;
    // Bytes read (0 at the end), or -1 when the read failed.
    virtual long Read(char* buffer, size_t size) = 0;
};

struct CUpdateJob {
    std::wstring address;
    std::wstring destination;
    std::wstring domains;
    // The most bytes the file may have: a server announcing more is refused
    // before anything is read, so that a wrong or hostile answer cannot fill
    // the disk beside the program.
    uint64_t sizeLimit = UINT64_MAX;
};

// Bytes asked of the request per read.
constexpr size_t kUpdateReadSize = 16 * 1024;

// The download thread's work. True once the whole file is written; false for
// a foreign address, a 404, a missing length, a length over the job's
// limit, a destination that cannot be
// created, a short transfer, or `cancel` set. The destination is written in
// place, so a cancelled download leaves the part received. `progress` gets
// each new percentage.
bool RunUpdateDownload(const CUpdateJob& job, IUpdateRequest& request, const std::function<void(int)>& progress,
                       const std::atomic<bool>& cancel);
