#include "net/sock_base.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace sock_http {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool HeaderValue(const std::string& header, const std::string& name, size_t max, std::string& value) {
    // Only at the start of a line, so that "X-Content-Length:" is not taken
    // for "Content-Length:".
    const size_t at = header.find("\r\n" + name);
    if (at == std::string::npos) return false;
    size_t begin = at + 2 + name.size();
    while (begin < header.size() && IsBlank(header[begin])) ++begin;
    const size_t end = header.find("\r\n", begin);
    if (end == std::string::npos || end - begin >= max) return false;
    value = header.substr(begin, end - begin);
    return true;
}

bool ParseContentLength(const std::string& text, int64_t& length) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const int digit = text[i] - '0';
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10) return false;
        value = value * 10 + digit;
    }
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i != text.size()) return false;
    length = value;
    return true;
}

std::string EtagFileName(const std::string& etag) {
    static constexpr std::string_view kReplaced = "\"*/:<>?\\|";
    std::string name = etag;
    bool onlyDots = true;
    for (char& c : name) {
        // Control characters cannot stand in a Windows file name either.
        if (kReplaced.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20) c = '_';
        if (c != '.') onlyDots = false;
    }
    // "." and ".." would name the folder itself or its parent.
    if (onlyDots || name.size() >= CSockBase::kEtagNameMax) return {};
    return name;
}

}  // namespace sock_http

CSockBase::CSockBase() {
    m_mapHeaders["Accept"] = "*/*";
    m_mapHeaders["Connection"] = "Keep-Alive";
    m_mapHeaders["User-Agent"] =
        "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1; WOW64; Trident/7.0; SLCC2; .NET CLR 2.0.50727; "
        ".NET CLR 3.5.30729; .NET CLR 3.0.30729; .NET4.0C; .NET4.0E)";
}

CSockBase::~CSockBase() { Reset(); }

void CSockBase::CloseSocket() {
    sock::Close(m_sock);
    m_sock = 0;
}

void CSockBase::Reset() {
    m_pszHost.clear();
    m_pszPath.clear();
    m_pszRequest.clear();
    m_pszHeader.clear();
    m_pszEtagName.clear();
    m_nContentLength = 0;
    CloseSocket();
}

bool CSockBase::ParseUrl(const std::wstring& address) {
    if (address.empty()) return false;
    std::string text;
    if (!WireCodePage().FromWide(address, text) || text.empty()) return false;
    const size_t scheme = text.find("://");
    if (scheme != std::string::npos) text.erase(0, scheme + 3);
    // Built as new strings and moved in: assigning a literal into the member
    // here trips GCC 12's -Wrestrict false positive under the sanitizers.
    const size_t slash = text.find('/');
    m_pszHost = text.substr(0, slash);
    m_pszPath = slash == std::string::npos ? std::string(1, '/') : text.substr(slash);
    return true;
}

bool CSockBase::InitWinsock() { return sock::Startup(); }

bool CSockBase::CreateSocket() {
    // The probe's connection may still be open when the transfer asks for
    // its own; it is not needed any more.
    CloseSocket();
    m_sock = sock::Open();
    return m_sock != 0;
}

bool CSockBase::ConnectHost(const std::string& host) {
    std::string name = host;
    unsigned long port = 80;
    const size_t colon = host.find(':');
    if (colon != std::string::npos) {
        name = host.substr(0, colon);
        const std::string digits = host.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) return false;
        port = 0;
        for (char c : digits) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
            port = port * 10 + static_cast<unsigned long>(c - '0');
        }
        if (port == 0 || port > 65535) return false;
    }
    return sock::Connect(m_sock, name, static_cast<uint16_t>(port));
}

bool CSockBase::SetRecvTimeout(unsigned milliseconds) { return sock::SetRecvTimeout(m_sock, milliseconds); }

bool CSockBase::BuildRequest(const std::string& host, const std::string& path, int64_t offset) {
    m_pszRequest.clear();
    if (offset >= kOffsetLimit) return false;
    std::string text = "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n";
    for (const auto& [key, value] : m_mapHeaders) text += key + ": " + value + "\r\n";
    if (offset > 0) text += "Range: bytes=" + std::to_string(offset) + "-\r\n";
    text += "\r\n";
    // Line breaks inside the host or path would let an address add headers.
    if (text.size() >= kRequestMax || (host + path).find_first_of("\r\n") != std::string::npos) return false;
    m_pszRequest = std::move(text);
    return true;
}

bool CSockBase::SendRequest() {
    return !m_pszRequest.empty() && sock::SendAll(m_sock, m_pszRequest.data(), m_pszRequest.size());
}

bool CSockBase::RecvHeader() {
    m_pszHeader.clear();
    std::string header;
    char arrived[kHeaderMax];
    // Looks at what has arrived and takes only the header's part of it, so
    // that the body starts with the first byte after the blank line. A byte
    // per call would cost a system call, under Wine a server round trip,
    // for every byte of the header.
    while (header.size() < kHeaderMax - 1) {
        const long seen = sock::Peek(m_sock, arrived, kHeaderMax - 1 - header.size());
        if (seen <= 0) return false;
        const size_t before = header.size();
        header.append(arrived, static_cast<size_t>(seen));
        const size_t blank = header.find("\r\n\r\n", before < 3 ? 0 : before - 3);
        if (blank != std::string::npos) header.resize(blank + 4);
        if (!TakeArrived(header.size() - before)) return false;
        if (blank != std::string::npos) {
            m_pszHeader = std::move(header);
            return true;
        }
    }
    return false;
}

// Receives `count` bytes that a peek has already seen arrive.
bool CSockBase::TakeArrived(size_t count) {
    char sink[kHeaderMax];
    while (count > 0) {
        const long n = sock::Recv(m_sock, sink, std::min(count, sizeof(sink)));
        if (n <= 0) return false;
        count -= static_cast<size_t>(n);
    }
    return true;
}

int CSockBase::CheckResponse() {
    for (int redirects = 0;; ++redirects) {
        const int status = CheckStatus();
        if (status != -1) return status;
        std::string location;
        if (redirects == kMaxRedirects || !sock_http::HeaderValue(m_pszHeader, "Location:", kValueMax, location) ||
            !FollowRedirect(location))
            return kNoResponse;
    }
}

// The answer for the header at hand, or -1 for a redirect to follow.
int CSockBase::CheckStatus() {
    if (m_pszHeader.empty()) return kNoResponse;
    const size_t lineEnd = m_pszHeader.find("\r\n");
    if (lineEnd == std::string::npos || lineEnd >= kValueMax) return kNoResponse;
    const std::string status = m_pszHeader.substr(0, lineEnd);
    if (status.find(" 200 ") != std::string::npos || status.find(" 206 ") != std::string::npos) {
        std::string text;
        int64_t length = 0;
        if (!sock_http::HeaderValue(m_pszHeader, "Content-Length:", kValueMax, text) ||
            !sock_http::ParseContentLength(text, length))
            return kRefused;
        m_nContentLength = length;
        std::string etag;
        if (!sock_http::HeaderValue(m_pszHeader, "ETag:", kValueMax, etag) || etag.empty()) return kAccepted;
        m_pszEtagName = sock_http::EtagFileName(etag);
        if (m_pszEtagName.empty()) return kRefused;
        sock::ShutdownAndClose(m_sock);
        m_sock = 0;
        return kAccepted;
    }
    if (status.find("302 Moved Temporarily") != std::string::npos) return -1;
    return kRefused;
}

bool CSockBase::FollowRedirect(const std::string& location) {
    const std::wstring address = WireCodePage().ToWide(location);
    Reset();
    if (!ParseUrl(address) || !InitWinsock() || !CreateSocket() || !ConnectHost(m_pszHost) ||
        !SetRecvTimeout(kRedirectTimeoutMs))
        return false;
    return BuildRequest(m_pszHost, m_pszPath, 0) && SendRequest() && RecvHeader();
}

std::string CSockBase::HttpGetText(const std::wstring& address) {
    Reset();
    if (!ParseUrl(address) || !InitWinsock() || !CreateSocket() || !ConnectHost(m_pszHost) ||
        !SetRecvTimeout(m_nRecvTimeout) || !BuildRequest(m_pszHost, m_pszPath, 0) || !SendRequest() ||
        !RecvHeader()) {
        CloseSocket();
        return {};
    }
    // The request asks to keep the connection alive, and a server that does
    // so never ends the body: it ends where its Content-Length says, rather
    // than when the receive limit runs out. Without one, the body ends with
    // the connection.
    size_t expected = kTextBodyMax + 1;
    std::string text;
    int64_t length = 0;
    if (sock_http::HeaderValue(m_pszHeader, "Content-Length:", kValueMax, text) &&
        sock_http::ParseContentLength(text, length) && static_cast<uint64_t>(length) <= kTextBodyMax)
        expected = static_cast<size_t>(length);
    std::string body;
    char buffer[1024];
    while (body.size() < expected) {
        const long n = sock::Recv(m_sock, buffer, std::min(sizeof(buffer), expected - body.size()));
        if (n <= 0) break;
        if (body.size() + static_cast<size_t>(n) > kTextBodyMax) {
            body.clear();
            break;
        }
        body.append(buffer, static_cast<size_t>(n));
    }
    sock::ShutdownAndClose(m_sock);
    m_sock = 0;
    return body;
}
