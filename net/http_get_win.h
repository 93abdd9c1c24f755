#pragma once

#include "net/http_url.h"

#include <windows.h>

#include <wininet.h>

#include <string>

#include "fw/handles_win.h"

// A GET through WinINet whose answer is never read (statistics beacons and
// event reports). True when the request was sent; the last error is left at
// the first failure's code (0 on success).
//
// Connect, send and receive each time out after kHttpGetTimeoutMs, so an
// unreachable statistics host holds a caller for seconds, not minutes.
// `objectMax` is the longest object (the text after the host's "/") the
// caller's kind of request may carry; anything longer is not sent.
bool HttpGet(const std::wstring& url, const std::wstring& body, size_t objectMax = kHttpObjectMax);

inline constexpr unsigned long kHttpGetTimeoutMs = 5000;

// Every GET's request flags: never answered from the cache.
inline constexpr DWORD kHttpGetFlags = INTERNET_FLAG_RELOAD;

// The header text every GET hands to WinINet. Some peers rely on it exactly,
// the blank before the first line break included.
inline constexpr wchar_t kHttpGetHeaders[] = L"Accept-Language: zh-cn \r\nContent-Type: application/x-www-form-urlencoded\r\n";

// The session, connection and request of one GET, opened the way every GET
// of this program is (agent "ZMX", "GET", "HTTP/1.1", never from the cache),
// for HttpGet and for the update download, which goes on to read the answer.
class CHttpGetHandles {
public:
    // False at the first handle that cannot be opened, the last error being
    // that call's. A non-zero `timeoutMs` bounds connecting, sending and
    // receiving; 0 keeps the system's limits. `extraFlags` join the
    // request's flags: the update download keeps the cache, whose copy its
    // reads seek in.
    bool Open(const std::wstring& host, unsigned port, const std::wstring& object, unsigned long timeoutMs = 0,
              DWORD extraFlags = 0);
    // Request first: a handle is never closed before the ones opened from it.
    void Close();
    HINTERNET Request() const { return m_request.Get(); }

private:
    // Declared in opening order, so that they are destroyed request first.
    fw::ScopedInternet m_internet;
    fw::ScopedInternet m_connection;
    fw::ScopedInternet m_request;
};

// Sends an opened GET request with the program's header lines and `body`.
bool SendHttpGet(HINTERNET request, const std::wstring& body);
