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
