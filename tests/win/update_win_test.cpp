#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <future>
#include <iterator>

#include "app/ctrl_block.h"
#include "net/update_check_win.h"
#include "net/update_download_win.h"
#include "tests/win/loopback_server_win.h"
#include "tests/win/test_files_win.h"

// This program's block carries UpdateDomains=127.0.0.1 and an
// empty ExpectedTag (see tests/win/net.cmake).

namespace {

// Runs one download as the dialog does and returns its result.
struct CRun {
    std::atomic<int> last{-1};
    std::promise<int> result;
    CUpdateDownload download;

    bool Start(const std::wstring& address, const std::wstring& dest) {
        return download.Start({address, dest, TheCtrlBlock().UpdateDomains()}, [this](int p) { last = p; },
                              [this](int code) { result.set_value(code); });
    }
    int Result() {
        auto future = result.get_future();
        if (future.wait_for(std::chrono::seconds(30)) != std::future_status::ready) return -1;
        return future.get();
    }
};

}  // namespace

TEST(UpdateCheckWin, EmptyExpectedTagMeansUpToDate) { EXPECT_EQ(CheckUpdate(TheCtrlBlock().ExpectedTag(), TheCtrlBlock().ClientVersion()), 0); }

TEST(UpdateDownloadWin, Results) {
    const std::string body = PatternBytes(70000);
    CWinLoopbackServer server([&](auto& conn, const std::string& request) {
        const std::string line = request.substr(0, request.find("\r\n"));
        if (line.find("/missing ") != std::string::npos)
            conn.Reply("404 Not Found", "no such file");
        else if (line.find("/broken ") != std::string::npos)
            conn.Reply("500 Internal Server Error", body);
        else
            conn.Reply("200 OK", body);
    });
    struct Case {
        const char* what;
        std::string path;
        int result;
    } cases[] = {
        {"complete", "/setup.exe", IDOK},
        {"not found", "/missing", IDCANCEL},
        {"server error with body and length", "/broken", IDOK},
    };
    for (const auto& c : cases) {
        const std::wstring dest = TempFile(L"corvane-update.exe");
        CRun run;
        ASSERT_TRUE(run.Start(server.Url(c.path), dest)) << c.what;
        EXPECT_EQ(run.Result(), c.result) << c.what;
        run.download.Wait();
        if (c.result == IDOK) {
            EXPECT_TRUE(ReadAll(dest) == body) << c.what;
            EXPECT_EQ(run.last.load(), 100) << c.what;
        }
        DeleteFileW(dest.c_str());
    }
    const std::string sent = server.Requests().at(0);
    EXPECT_EQ(sent.substr(0, sent.find("\r\n")), "GET /setup.exe HTTP/1.1");
    EXPECT_EQ(RequestHeader(sent, "User-Agent"), "ZMX");
    EXPECT_EQ(RequestHeader(sent, "Accept-Language").substr(0, 5), "zh-cn");  // Wine drops the trailing blank
}

// A request that blocks in Open as a name lookup can, whatever Abort says.
class CStuckRequest final : public IAbortableRequest {
public:
    explicit CStuckRequest(std::atomic<int>& aborts) : m_aborts(aborts) {}
    bool Open(const CDownloadTarget&) override {
        Sleep(4000);
        return false;
    }
    int StatusCode() override { return 0; }
    bool ContentLength(uint32_t&) override { return false; }
    long Read(char*, size_t) override { return -1; }
    void Abort() override { ++m_aborts; }

private:
    std::atomic<int>& m_aborts;
};

TEST(UpdateDownloadWin, CancelWaitsABoundedTimeForAStuckWorker) {
    static std::atomic<int> aborts{0};  // outlives the worker, which outlives the test
    std::atomic<bool> called{false};
    CUpdateDownload download([] { return std::make_unique<CStuckRequest>(aborts); });
    ASSERT_TRUE(download.Start({L"http://127.0.0.1/setup.exe", TempFile(L"corvane-stuck.exe"), L"127.0.0.1"},
                               [&](int) { called = true; }, [&](int) { called = true; }));
    Sleep(100);
    const DWORD start = GetTickCount();
    download.Cancel();
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(aborts.load(), 1);
    EXPECT_LT(elapsed, 3000u) << "the window's thread must not wait for a stuck lookup";
    Sleep(4500);  // the worker ends on its own, and calls back no more
    EXPECT_FALSE(called.load());
}

TEST(UpdateDownloadWin, RequestToAServerThatNeverAnswersTimesOut) {
    CWinLoopbackServer server([&](auto&, auto&) {
        for (int i = 0; i < 300 && !server.Stopping(); ++i) Sleep(20);
    });
    CDownloadTarget target;
    ASSERT_TRUE(ParseDownloadAddress(server.Url("/setup.exe"), target));
    CWinInetRequest request(800);
    auto opened = std::async(std::launch::async, [&] { return request.Open(target); });
    const bool ended = opened.wait_for(std::chrono::milliseconds(4000)) == std::future_status::ready;
    EXPECT_TRUE(ended) << "no answer within the time-out ends the request";
    if (!ended) request.Abort();
    EXPECT_FALSE(opened.get());
    server.Stop();
}

TEST(UpdateDownloadWin, ForeignDomainEndsAtOnce) {
    CWinLoopbackServer server([](auto& conn, auto&) { conn.Reply("200 OK", "x"); });
    const std::string foreign = "http://localhost:" + std::to_string(server.Port()) + "/setup.exe";
    CRun run;
    ASSERT_TRUE(run.Start({foreign.begin(), foreign.end()}, TempFile(L"corvane-foreign.exe")));
    EXPECT_EQ(run.Result(), IDCANCEL);
    EXPECT_EQ(server.RequestCount(), 0u);
}

TEST(UpdateDownloadWin, CancelDuringASlowDownloadKeepsThePartialFile) {
    const std::string body = PatternBytes(200000);
    CWinLoopbackServer server([&](auto& conn, auto&) {
        conn.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n");
        for (size_t at = 0; at < body.size() && !server.Stopping(); at += 1024) {
            if (!conn.Send(body.substr(at, 1024))) return;
            Sleep(20);
        }
    });
    const std::wstring dest = TempFile(L"corvane-slow.exe");
    CRun run;
    ASSERT_TRUE(run.Start(server.Url("/slow.exe"), dest));
    for (int i = 0; i < 200 && run.last.load() < 2; ++i) Sleep(25);
    ASSERT_GE(run.last.load(), 2);
    const DWORD start = GetTickCount();
    run.download.Cancel();
    EXPECT_LT(GetTickCount() - start, 5000u) << "the blocking read returns";
    server.Stop();
    EXPECT_TRUE(Exists(dest));
    const size_t size = ReadAll(dest).size();
    EXPECT_GT(size, 0u);
    EXPECT_LT(size, body.size());
    DeleteFileW(dest.c_str());
}
