#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "net/socket_seam.h"

// One HTTP/1.1 connection written directly on sockets, independent of the
// system's HTTP stack: forms a GET request, reads the response header and
// follows a "302 Moved Temporarily" answer. Text on the wire is narrow, in
// the wire code page; addresses arrive wide.
class CSockBase {
public:
    // Buffer bounds. Text that would not fit is refused, never cut.
    static constexpr size_t kRequestMax = 2048;     // request text stays below
    static constexpr size_t kHeaderMax = 1024;      // response header stays below
    static constexpr size_t kValueMax = 256;        // ETag, Location, Content-Length, status line
    static constexpr size_t kEtagNameMax = 128;     // work-file name made from the ETag
    static constexpr int64_t kOffsetLimit = 1000000000;  // resume offsets stay below (nine digits)
    static constexpr int kMaxRedirects = 5;

    // CheckResponse answers.
    static constexpr int kAccepted = 0;
    static constexpr int kNoResponse = 1;
    static constexpr int kRefused = 2;

    CSockBase();
    ~CSockBase();
    CSockBase(const CSockBase&) = delete;
    CSockBase& operator=(const CSockBase&) = delete;

    void Reset();

    bool ParseUrl(const std::wstring& address);
    bool InitWinsock();
    bool CreateSocket();
    bool ConnectHost(const std::string& host);
    bool SetRecvTimeout(unsigned milliseconds);
    bool BuildRequest(const std::string& host, const std::string& path, int64_t offset);
    bool SendRequest();
    bool RecvHeader();
    int CheckResponse();

    // The body of a GET, whatever the status: as long as its Content-Length
    // says, or up to the connection's end without one; empty on any failure
    // before the body.
    std::string HttpGetText(const std::wstring& address);

    const std::string& Host() const { return m_pszHost; }
    const std::string& Path() const { return m_pszPath; }
    const std::string& Request() const { return m_pszRequest; }
    const std::string& Header() const { return m_pszHeader; }
    const std::string& EtagName() const { return m_pszEtagName; }
    int64_t ContentLength() const { return m_nContentLength; }

    // The receive time limit of probes, transfers and text fetches: 128 ms
    // unless changed (tests on a loaded machine raise it). A redirect's
    // request always gets 10 s.
    void SetReceiveLimit(unsigned milliseconds) { m_nRecvTimeout = milliseconds; }
    unsigned ReceiveLimit() const { return m_nRecvTimeout; }

    // Largest body HttpGetText keeps; a longer one is refused.
    static constexpr size_t kTextBodyMax = 4 * 1024 * 1024;

protected:
    static constexpr unsigned kRedirectTimeoutMs = 10000;

    void CloseSocket();

    std::string m_pszHost;
    std::string m_pszPath;
    std::string m_pszRequest;
    std::string m_pszHeader;
    sock::Handle m_sock = 0;
    std::string m_pszEtagName;
    int64_t m_nContentLength = 0;
    std::map<std::string, std::string> m_mapHeaders;
    unsigned m_nRecvTimeout = 128;

private:
    int CheckStatus();
    bool TakeArrived(size_t count);
    bool FollowRedirect(const std::string& location);
};

// Helpers of the header rules, public for the tests.
namespace sock_http {

// The value of a header line `name` ("ETag:"), blanks before it skipped, up
// to its line end. False when absent or not shorter than `max`.
bool HeaderValue(const std::string& header, const std::string& name, size_t max, std::string& value);

// A decimal Content-Length: digits only (blanks around allowed), no sign,
// no overflow.
bool ParseContentLength(const std::string& text, int64_t& length);

// The ETag made into a file name: quotes, slashes and the other characters
// a file name may not hold become underscores. Empty when it is unusable.
std::string EtagFileName(const std::string& etag);

}  // namespace sock_http
