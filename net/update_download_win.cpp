#include "net/update_download_win.h"

#include <climits>
#include <cwchar>
#include <memory>

bool CWinInetRequest::Open(const CDownloadTarget& target) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_aborted || m_users != 0) return false;
        if (!m_handles.Open(target.host, target.port, target.object, m_timeoutMs)) return false;
    }
    return Use([](HINTERNET request) { return SendHttpGet(request, L""); });
}

bool CWinInetRequest::Use(const std::function<bool(HINTERNET)>& call) {
    HINTERNET request = nullptr;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_aborted || m_handles.Request() == nullptr) return false;
        request = m_handles.Request();
        ++m_users;
    }
    const bool ok = call(request);
    std::lock_guard<std::mutex> hold(m_lock);
    // The last call out closes what an Abort during the call left open.
    if (--m_users == 0 && m_aborted) m_handles.Close();
    return ok && !m_aborted;
}

int CWinInetRequest::StatusCode() {
    wchar_t text[16] = {};
    const bool read = Use([&](HINTERNET request) {
        DWORD size = sizeof(text);
        return HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, text, &size, nullptr) != FALSE;
    });
    return read ? static_cast<int>(std::wcstol(text, nullptr, 10)) : 0;
}

bool CWinInetRequest::ContentLength(uint32_t& length) {
    DWORD value = 0;
    const bool read = Use([&](HINTERNET request) {
        DWORD size = sizeof(value);
        return HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) &&
               size == sizeof(value);
    });
    if (read) length = value;
    return read;
}

long CWinInetRequest::Read(char* buffer, size_t size) {
    DWORD read = 0;
    const DWORD want = size > ULONG_MAX ? ULONG_MAX : static_cast<DWORD>(size);
    const bool ok = Use([&](HINTERNET request) { return InternetReadFile(request, buffer, want, &read) != FALSE; });
    return ok ? static_cast<long>(read) : -1;
}

void CWinInetRequest::Abort() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_aborted = true;
    if (m_users == 0) m_handles.Close();
}

CUpdateDownload::CUpdateDownload(RequestFactory factory) : m_factory(std::move(factory)) {
    if (!m_factory) m_factory = [] { return std::make_unique<CWinInetRequest>(); };
}

bool CUpdateDownload::StartThread(const std::shared_ptr<CRun>& run, LPTHREAD_START_ROUTINE routine,
                                  fw::ScopedKernelHandle& handle) {
    // The thread takes its own share of the run; it is handed over only
    // once the thread exists.
    auto share = std::make_unique<std::shared_ptr<CRun>>(run);
    handle.Reset(CreateThread(nullptr, 0, routine, share.get(), 0, nullptr));
    if (!handle) return false;
    (void)share.release();
    return true;
}

bool CUpdateDownload::Start(const CUpdateJob& job, Progress progress, Done done) {
    // A download that has ended still holds its threads until collected.
    Wait();
    auto run = std::make_shared<CRun>();
    run->job = job;
    run->progress = std::move(progress);
    run->done = std::move(done);
    run->request = m_factory();
    m_run = run;
    // The watcher waits on the download thread's handle: it starts second.
    if (!StartThread(run, DownloadThread, run->downloadThread)) {
        m_run.reset();
        return false;
    }
    if (!StartThread(run, WatcherThread, run->watcherThread)) {
        Cancel();
        return false;
    }
    return true;
}

DWORD WINAPI CUpdateDownload::DownloadThread(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<CRun>> share(static_cast<std::shared_ptr<CRun>*>(param));
    CRun& run = **share;
    // After a cancel the dialog may be gone: no more progress for it.
    const auto progress = [&run](int percent) {
        if (!run.cancel && run.progress) run.progress(percent);
    };
    run.result = RunUpdateDownload(run.job, *run.request, progress, run.cancel);
    // Closed here, on the thread that used them, unless Cancel got there first.
    run.request->Abort();
    return 0;
}

DWORD WINAPI CUpdateDownload::WatcherThread(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<CRun>> share(static_cast<std::shared_ptr<CRun>*>(param));
    CRun& run = **share;
    WaitForSingleObject(run.downloadThread.Get(), INFINITE);
    if (!run.cancel && run.done) run.done(run.result ? IDOK : IDCANCEL);
    return 0;
}

bool CUpdateDownload::WaitFor(DWORD limitMs) {
    if (!m_run) return true;
    HANDLE threads[2];
    DWORD count = 0;
    if (m_run->downloadThread) threads[count++] = m_run->downloadThread.Get();
    if (m_run->watcherThread) threads[count++] = m_run->watcherThread.Get();
    const bool ended = count == 0 || WaitForMultipleObjects(count, threads, TRUE, limitMs) == WAIT_OBJECT_0;
    // Let go either way: workers still running hold their own share.
    m_run.reset();
    return ended;
}

void CUpdateDownload::Cancel() {
    if (!m_run) return;
    m_run->cancel = true;
    m_run->request->Abort();
    WaitFor(kCancelWaitMs);
}

void CUpdateDownload::Wait() { WaitFor(INFINITE); }
