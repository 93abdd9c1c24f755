#pragma once

#include <string>

// A GET through WinINet whose answer is never read (statistics beacons and
// event reports). True when the request was sent; the last error is left at
// the first failure's code (0 on success).
//
// Connect, send and receive each time out after kHttpGetTimeoutMs, so an
// unreachable statistics host holds a caller for seconds, not minutes.
bool HttpGet(const std::wstring& url, const std::wstring& body);

inline constexpr unsigned long kHttpGetTimeoutMs = 5000;
