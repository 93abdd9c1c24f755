#include "net/http_get_win.h"

#include "net/http_url.h"

namespace {

void SetTimeouts(HINTERNET handle, DWORD timeout) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionW(handle, option, &timeout, sizeof timeout);
    }
}

bool Send(const HttpTarget& target, const std::wstring& body, DWORD& error) {
    CHttpGetHandles handles;
    // A beacon's answer is never read again: kept out of the browser's
    // cache, where writing it cost every beacon an index update and a file.
    if (!handles.Open(target.host, target.port, target.object, kHttpGetTimeoutMs, INTERNET_FLAG_NO_CACHE_WRITE) ||
        !SendHttpGet(handles.Request(), body)) {
        error = GetLastError();
        return false;
    }
    return true;
}

}  // namespace

bool HttpGet(const std::wstring& url, const std::wstring& body, size_t objectMax) {
    const auto target = ParseHttpUrl(url, PortSyntax::LikeWtoi, objectMax);
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

bool CHttpGetHandles::Open(const std::wstring& host, unsigned port, const std::wstring& object,
                           unsigned long timeoutMs, DWORD extraFlags) {
    Close();
    m_internet.Reset(InternetOpenW(L"ZMX", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_internet) return false;
    if (timeoutMs != 0) SetTimeouts(m_internet.Get(), timeoutMs);
    m_connection.Reset(InternetConnectW(m_internet.Get(), host.c_str(), static_cast<INTERNET_PORT>(port), nullptr,
                                        nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!m_connection) return false;
    m_request.Reset(HttpOpenRequestW(m_connection.Get(), L"GET", object.c_str(), L"HTTP/1.1", nullptr, nullptr,
                                     kHttpGetFlags | extraFlags, 0));
    if (!m_request) return false;
    if (timeoutMs != 0) SetTimeouts(m_request.Get(), timeoutMs);
    return true;
}

void CHttpGetHandles::Close() {
    m_request.Reset();
    m_connection.Reset();
    m_internet.Reset();
}

bool SendHttpGet(HINTERNET request, const std::wstring& body) {
    std::wstring bodyCopy = body;
    return HttpSendRequestW(request, kHttpGetHeaders, static_cast<DWORD>(-1), bodyCopy.empty() ? nullptr : bodyCopy.data(),
                            static_cast<DWORD>(bodyCopy.size() * sizeof(wchar_t))) != FALSE;
}
