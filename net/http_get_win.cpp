#include "net/http_get_win.h"

#include <windows.h>
#include <wininet.h>

#include "fw/handles_win.h"
#include "net/http_url.h"

namespace {

// Some peers rely on this exact header text, the blank before the first line
// break included.
constexpr wchar_t kHeaders[] = L"Accept-Language: zh-cn \r\nContent-Type: application/x-www-form-urlencoded\r\n";

void SetTimeouts(HINTERNET handle) {
    DWORD timeout = kHttpGetTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(handle, option, &timeout, sizeof timeout);
    }
}

bool Send(const HttpTarget& target, const std::wstring& body, DWORD& error) {
    fw::ScopedInternet internet(InternetOpenW(L"ZMX", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet.IsValid()) {
        error = GetLastError();
        return false;
    }
    SetTimeouts(internet.Get());
    fw::ScopedInternet connection(InternetConnectW(internet.Get(), target.host.c_str(), target.port, nullptr, nullptr,
                                                INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection.IsValid()) {
        error = GetLastError();
        return false;
    }
    fw::ScopedInternet request(HttpOpenRequestW(connection.Get(), L"GET", target.object.c_str(), L"HTTP/1.1", nullptr,
                                             nullptr, INTERNET_FLAG_RELOAD, 0));
    if (!request.IsValid()) {
        error = GetLastError();
        return false;
    }
    SetTimeouts(request.Get());
    std::wstring bodyCopy = body;
    const BOOL sent = HttpSendRequestW(request.Get(), kHeaders, static_cast<DWORD>(-1),
                                       bodyCopy.empty() ? nullptr : bodyCopy.data(),
                                       static_cast<DWORD>(bodyCopy.size() * sizeof(wchar_t)));
    if (!sent) {
        error = GetLastError();
        return false;
    }
    return true;
}

}  // namespace

bool HttpGet(const std::wstring& url, const std::wstring& body) {
    const auto target = ParseHttpUrl(url);
    if (!target) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    DWORD error = 0;
    const bool sent = Send(*target, body, error);
    // The handles are closed by now; closing must not replace the first failure's code.
    SetLastError(error);
    return sent;
}
