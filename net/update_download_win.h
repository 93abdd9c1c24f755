#pragma once

#include <windows.h>

#include <wininet.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "fw/handles_win.h"
#include "net/http_get_win.h"
#include "net/update_download.h"

// The update request over WinINet, opened and sent as the fire-and-forget
// GET is, but read to the end.
// Abort may be called from another thread: it closes the handles, so that a
// read blocked in them returns.
class CWinInetRequest final : public IUpdateRequest {
public:
    CWinInetRequest() = default;
    ~CWinInetRequest() override { Abort(); }
    CWinInetRequest(const CWinInetRequest&) = delete;
    CWinInetRequest& operator=(const CWinInetRequest&) = delete;

    bool Open(const CDownloadTarget& target) override;
    int StatusCode() override;
    bool ContentLength(uint32_t& length) override;
    long Read(char* buffer, size_t size) override;
    void Abort();

private:
    HINTERNET Request();

    std::mutex m_lock;
    bool m_aborted = false;
    CHttpGetHandles m_handles;
};

// The update dialog's two workers: the download thread runs the download,
// the watcher waits for it and reports the dialog's result (IDOK when the
// file arrived whole, IDCANCEL otherwise). Both callbacks run on worker
// threads and must not wait for the interface thread (post, never send):
// Cancel waits for the workers on that thread.
class CUpdateDownload {
public:
    using Progress = std::function<void(int percent)>;
    using Done = std::function<void(int dialogResult)>;

    CUpdateDownload() = default;
    ~CUpdateDownload() { Cancel(); }
    CUpdateDownload(const CUpdateDownload&) = delete;
    CUpdateDownload& operator=(const CUpdateDownload&) = delete;

    // Starts one download (after collecting an ended one); false when a
    // thread cannot start.
    bool Start(const CUpdateJob& job, Progress progress, Done done);

    // Stops a running download: signals the worker and closes its request
    // so a blocking read returns, then waits for both threads. `done` is not
    // called for a cancelled download; the partial file stays.
    void Cancel();

    // Waits for both threads (tests and shutdown).
    void Wait();

private:
    static DWORD WINAPI DownloadThread(LPVOID self);
    static DWORD WINAPI WatcherThread(LPVOID self);
    void CloseThreads();

    CUpdateJob m_job;
    Progress m_progress;
    Done m_done;
    std::unique_ptr<CWinInetRequest> m_request;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_result{false};
    fw::ScopedKernelHandle m_downloadThread;
    fw::ScopedKernelHandle m_watcherThread;
};
