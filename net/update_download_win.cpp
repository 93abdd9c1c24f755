#include "net/update_download_win.h"

#include <climits>
#include <cwchar>
#include <memory>

bool CWinInetRequest::Open(const CDownloadTarget& target) {
    std::unique_lock<std::mutex> hold(m_lock);
    if (m_aborted) return false;
    if (!m_handles.Open(target.host, target.port, target.object)) return false;
    HINTERNET request = m_handles.Request();
    // Sent outside the lock, so that Abort can close the handles meanwhile.
    hold.unlock();
    const bool sent = SendHttpGet(request, L"");
    hold.lock();
    return sent && !m_aborted;
}

HINTERNET CWinInetRequest::Request() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_aborted ? nullptr : m_handles.Request();
}

int CWinInetRequest::StatusCode() {
    HINTERNET request = Request();
    wchar_t text[16] = {};
    DWORD size = sizeof(text);
    if (!request || !HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, text, &size, nullptr)) return 0;
    return static_cast<int>(std::wcstol(text, nullptr, 10));
}

bool CWinInetRequest::ContentLength(uint32_t& length) {
    HINTERNET request = Request();
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!request || !HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) ||
        size != sizeof(value))
        return false;
    length = value;
    return true;
}

long CWinInetRequest::Read(char* buffer, size_t size) {
    HINTERNET request = Request();
    DWORD read = 0;
    const DWORD want = size > ULONG_MAX ? ULONG_MAX : static_cast<DWORD>(size);
    if (!request || !InternetReadFile(request, buffer, want, &read)) return -1;
    return static_cast<long>(read);
}

void CWinInetRequest::Abort() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_aborted = true;
    m_handles.Close();
}

bool CUpdateDownload::Start(const CUpdateJob& job, Progress progress, Done done) {
    // A download that has ended still holds its threads until collected.
    Wait();
    m_job = job;
    m_progress = std::move(progress);
    m_done = std::move(done);
    m_cancel = false;
    m_result = false;
    m_request = std::make_unique<CWinInetRequest>();
    m_downloadThread.Reset(CreateThread(nullptr, 0, DownloadThread, this, 0, nullptr));
    if (!m_downloadThread) {
        m_request.reset();
        return false;
    }
    m_watcherThread.Reset(CreateThread(nullptr, 0, WatcherThread, this, 0, nullptr));
    if (!m_watcherThread) {
        Cancel();
        return false;
    }
    return true;
}

DWORD WINAPI CUpdateDownload::DownloadThread(LPVOID param) {
    auto* self = static_cast<CUpdateDownload*>(param);
    self->m_result = RunUpdateDownload(self->m_job, *self->m_request, self->m_progress, self->m_cancel);
    // Closed here, on the thread that used them, unless Cancel got there first.
    self->m_request->Abort();
    return 0;
}

DWORD WINAPI CUpdateDownload::WatcherThread(LPVOID param) {
    auto* self = static_cast<CUpdateDownload*>(param);
    WaitForSingleObject(self->m_downloadThread.Get(), INFINITE);
    if (!self->m_cancel && self->m_done) self->m_done(self->m_result ? IDOK : IDCANCEL);
    return 0;
}

void CUpdateDownload::Cancel() {
    m_cancel = true;
    if (m_request) m_request->Abort();
    Wait();
}

void CUpdateDownload::Wait() {
    if (m_downloadThread) WaitForSingleObject(m_downloadThread.Get(), INFINITE);
    if (m_watcherThread) WaitForSingleObject(m_watcherThread.Get(), INFINITE);
    CloseThreads();
}

void CUpdateDownload::CloseThreads() {
    m_watcherThread.Reset();
    m_downloadThread.Reset();
    m_request.reset();
}
