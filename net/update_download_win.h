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

// A request whose blocking calls another thread can ask to give up.
class IAbortableRequest : public IUpdateRequest {
public:
    virtual void Abort() = 0;
};

// Connect, send and each read of the update request give up after this long,
// so that a stalled server cannot hold the download thread for good.
inline constexpr unsigned long kUpdateRequestTimeoutMs = 10000;

// The update request over WinINet, opened and sent as the fire-and-forget
// GET is, but read to the end, with time-outs.
// Abort may be called from another thread. A handle is never closed under a
// call that uses it: Abort closes the handles when no call is running, and
// otherwise the running call closes them as it returns.
class CWinInetRequest final : public IAbortableRequest {
public:
    explicit CWinInetRequest(unsigned long timeoutMs = kUpdateRequestTimeoutMs) : m_timeoutMs(timeoutMs) {}
    ~CWinInetRequest() override { Abort(); }
    CWinInetRequest(const CWinInetRequest&) = delete;
    CWinInetRequest& operator=(const CWinInetRequest&) = delete;

    bool Open(const CDownloadTarget& target) override;
    int StatusCode() override;
    bool ContentLength(uint32_t& length) override;
    long Read(char* buffer, size_t size) override;
    void Abort() override;

private:
    // Runs `call` with the request handle, unless aborted; false then.
    bool Use(const std::function<bool(HINTERNET)>& call);

    const unsigned long m_timeoutMs;
    std::mutex m_lock;
    bool m_aborted = false;
    int m_users = 0;
    CHttpGetHandles m_handles;
};

// The update dialog's two workers: the download thread runs the download,
// the watcher waits for it and reports the dialog's result (IDOK when the
// file arrived whole, IDCANCEL otherwise). Both callbacks run on worker
// threads and must not wait for the interface thread (post, never send).
class CUpdateDownload {
public:
    using Progress = std::function<void(int percent)>;
    using Done = std::function<void(int dialogResult)>;
    using RequestFactory = std::function<std::unique_ptr<IAbortableRequest>()>;

    // How long Cancel waits for the workers on the interface thread.
    static constexpr DWORD kCancelWaitMs = 1500;

    // The factory makes each download's request (WinINet unless a test says otherwise).
    explicit CUpdateDownload(RequestFactory factory = nullptr);
    ~CUpdateDownload() { Cancel(); }
    CUpdateDownload(const CUpdateDownload&) = delete;
    CUpdateDownload& operator=(const CUpdateDownload&) = delete;

    // Starts one download (after collecting an ended one); false when a
    // thread cannot start.
    bool Start(const CUpdateJob& job, Progress progress, Done done);

    // Stops a running download: signals the worker and asks its request to
    // give up, then waits for both threads, at most kCancelWaitMs. A worker
    // still blocked then (a name lookup nothing can cut short) ends on its
    // own within the request's time-outs and calls back no more. `done` is
    // not called for a cancelled download; the partial file stays.
    void Cancel();

    // Waits for both threads of a download that ends by itself.
    void Wait();

private:
    // One download, shared by this object and its two threads, so that a
    // worker that outlives a cancel still has what it uses.
    struct CRun {
        CUpdateJob job;
        Progress progress;
        Done done;
        std::unique_ptr<IAbortableRequest> request;
        std::atomic<bool> cancel{false};
        std::atomic<bool> result{false};
        fw::ScopedKernelHandle downloadThread;
        fw::ScopedKernelHandle watcherThread;
    };

    static DWORD WINAPI DownloadThread(LPVOID run);
    static DWORD WINAPI WatcherThread(LPVOID run);
    static bool StartThread(const std::shared_ptr<CRun>& run, LPTHREAD_START_ROUTINE routine,
                            fw::ScopedKernelHandle& handle);
    bool WaitFor(DWORD limitMs);

    RequestFactory m_factory;
    std::shared_ptr<CRun> m_run;
};
