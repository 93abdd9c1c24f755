#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "base/utf8.h"
#include "net/md5.h"
#include "net/sock_down_file.h"
#include "tests/native/loopback_server.h"
#include "tests/native/test_files.h"

namespace fs = std::filesystem;

namespace {

// The program's 128 ms receive limit is too short for a loaded test machine
// running under sanitizers; the tests that need it say so.
constexpr unsigned kTestLimitMs = 3000;

// Exposes the header buffer so the response rules can be fed directly.
class CHeaderProbe : public CSockBase {
public:
    CHeaderProbe() { SetReceiveLimit(kTestLimitMs); }
    int Check(const std::string& header) {
        m_pszHeader = header;
        return CheckResponse();
    }
};

class CRecordingDownload : public CSockDownFile {
public:
    CRecordingDownload() { SetReceiveLimit(kTestLimitMs); }
    void OnProgress(int percent) override { percents.push_back(percent); }
    std::vector<int> percents;
};

std::string Bytes(const fs::path& path) { return fs::exists(path) ? ReadText(path) : std::string("<missing>"); }

void WriteText(const fs::path& path, const std::string& text) { WriteBytes(path, {text.begin(), text.end()}); }

// Where a download keeps the part received under an ETag, so that a later run resumes it.
fs::path WorkFile(const fs::path& dest, const std::string& etagName) {
    return dest.string() + ".~etag." + etagName;
}

std::wstring W(const fs::path& path) { return path.wstring(); }

size_t RangeStart(const std::string& request) {
    const std::string range = RequestHeader(request, "Range");
    return range.empty() ? 0 : std::stoul(range.substr(6));
}

}  // namespace

TEST(SockBase, ParseUrl) {
    struct Case {
        std::wstring address;
        bool ok;
        std::string host, path;
    } cases[] = {
        {L"127.0.0.1:8080", true, "127.0.0.1:8080", "/"},
        {L"http://example.com/a/b?c=1", true, "example.com", "/a/b?c=1"},
        {L"HTTP://example.com", true, "example.com", "/"},
        {L"example.com/x", true, "example.com", "/x"},
        {L"", false, "", ""},
    };
    for (const auto& c : cases) {
        CSockBase base;
        EXPECT_EQ(base.ParseUrl(c.address), c.ok) << WideToUtf8(c.address);
        if (!c.ok) continue;
        EXPECT_EQ(base.Host(), c.host) << WideToUtf8(c.address);
        EXPECT_EQ(base.Path(), c.path) << WideToUtf8(c.address);
    }
}

TEST(SockBase, RequestTextAndItsBounds) {
    CSockBase base;
    ASSERT_TRUE(base.BuildRequest("h:81", "/f", 0));
    EXPECT_EQ(base.Request(),
              "GET /f HTTP/1.1\r\nHost: h:81\r\nAccept: */*\r\nConnection: Keep-Alive\r\n"
              "User-Agent: Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1; WOW64; Trident/7.0; SLCC2; "
              ".NET CLR 2.0.50727; .NET CLR 3.5.30729; .NET CLR 3.0.30729; .NET4.0C; .NET4.0E)\r\n\r\n");
    ASSERT_TRUE(base.BuildRequest("h", "/f", 999999999));
    EXPECT_NE(base.Request().find("\r\nRange: bytes=999999999-\r\n\r\n"), std::string::npos);

    EXPECT_FALSE(base.BuildRequest("h", "/f", 1000000000)) << "offset of ten digits";
    EXPECT_FALSE(base.BuildRequest("h", "/" + std::string(1900, 'p'), 0)) << "request of 2048 bytes or more";
    EXPECT_FALSE(base.BuildRequest("h", "/f\r\nX-Evil: 1", 0)) << "line break in the path";
    EXPECT_TRUE(base.Request().empty());
}

TEST(SockBase, CheckResponseRules) {
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    struct Case {
        std::string header;
        int answer;
        int64_t length;
        std::string etagName;
    } cases[] = {
        {ok + "Content-Length: 12\r\n\r\n", 0, 12, ""},
        {"HTTP/1.1 206 Partial Content\r\nContent-Length:   7  \r\n\r\n", 0, 7, ""},
        {ok + "Content-Length: 3\r\nETag: \"abc/123\"\r\n\r\n", 0, 3, "_abc_123_"},
        {ok + "Content-Length: 3\r\nETag: W/\"a*b:c<d>e?f\\g|h\"\r\n\r\n", 0, 3, "W__a_b_c_d_e_f_g_h_"},
        {ok + "Content-Length: 0\r\n\r\n", 0, 0, ""},
        {ok + "\r\n", 2, 0, ""},                                            // no length
        {ok + "X-Content-Length: 5\r\n\r\n", 2, 0, ""},                     // only a look-alike
        {ok + "Content-Length: -5\r\n\r\n", 2, 0, ""},
        {ok + "Content-Length: 12abc\r\n\r\n", 2, 0, ""},
        {ok + "Content-Length: \r\n\r\n", 2, 0, ""},
        {ok + "Content-Length: 99999999999999999999\r\n\r\n", 2, 0, ""},  // overflows 64 bits
        {ok + "Content-Length: " + std::string(300, '1') + "\r\n\r\n", 2, 0, ""},
        {ok + "Content-Length: 3\r\nETag: \"" + std::string(130, 'e') + "\"\r\n\r\n", 2, 3, ""},
        {ok + "Content-Length: 3\r\nETag: ..\r\n\r\n", 2, 3, ""},
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\n", 2, 0, ""},
        {"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/\r\n\r\n", 2, 0, ""},
        {"HTTP/1.1 302 Moved Temporarily\r\n\r\n", 1, 0, ""},              // nowhere to go
        {"HTTP/1.1 200 OK", 1, 0, ""},
        {"", 1, 0, ""},
        {"HTTP/1.1 200 " + std::string(300, 'k') + "\r\nContent-Length: 1\r\n\r\n", 1, 0, ""},
    };
    for (const auto& c : cases) {
        CHeaderProbe probe;
        EXPECT_EQ(probe.Check(c.header), c.answer) << c.header;
        EXPECT_EQ(probe.ContentLength(), c.length) << c.header;
        EXPECT_EQ(probe.EtagName(), c.etagName) << c.header;
    }
}

TEST(SockBase, HostWithPortAndNoPath) {
    CLoopbackServer server([](auto& conn, auto&) { conn.Reply("200 OK", "hello"); });
    CSockBase base;
    base.SetReceiveLimit(kTestLimitMs);
    const std::string hostPort = server.HostPort();
    EXPECT_EQ(base.HttpGetText({hostPort.begin(), hostPort.end()}), "hello");
    ASSERT_EQ(server.RequestCount(), 1u);
    const std::string request = server.Requests()[0];
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET / HTTP/1.1");
    EXPECT_EQ(RequestHeader(request, "Host"), hostPort);
}

TEST(SockBase, HttpGetTextReturnsExactlyTheBytesSent) {
    const std::string bodies[] = {"no final newline", "line\r\n", std::string("nul\0inside", 10), ""};
    for (const auto& body : bodies) {
        CLoopbackServer server([&](auto& conn, auto&) { conn.Reply("404 Not Found", body, "", false); });
        CSockBase base;
        base.SetReceiveLimit(kTestLimitMs);
        EXPECT_EQ(base.HttpGetText(server.Url("/t")), body);
    }
}

// A server keeping the connection alive sends nothing after the body; what
// follows it here stands for that silence, which the fetch must not wait out.
TEST(SockBase, HttpGetTextEndsWhereContentLengthSays) {
    const std::string ok = "HTTP/1.1 200 OK\r\nContent-Length: ";
    struct Case {
        std::string answer;
        std::string later;  // sent after a pause, then the connection ends
        std::string body;
    } cases[] = {
        {ok + "3\r\n\r\nabc", "junk", "abc"},
        {ok + "0\r\n\r\n", "junk", ""},
        {ok + "9\r\n\r\nshort", "", "short"},                   // the peer ended first
        {ok + "x\r\n\r\nabc", "junk", "abcjunk"},                // unreadable: to the end
        {ok + "99999999999\r\n\r\nabc", "junk", "abcjunk"},      // beyond the largest body
    };
    for (const Case& c : cases) {
        CLoopbackServer server([&](auto& conn, auto&) {
            conn.Send(c.answer);
            if (!c.later.empty()) conn.Drip(c.later, c.later.size(), 50);
        });
        CSockBase base;
        base.SetReceiveLimit(kTestLimitMs);
        EXPECT_EQ(base.HttpGetText(server.Url("/t")), c.body) << c.answer;
    }
}

TEST(SockBase, HttpGetTextFailsOnABrokenHeader) {
    CLoopbackServer cut([](auto& conn, auto&) { conn.Send("HTTP/1.1 200 OK\r\nContent-Le"); });
    CLoopbackServer oversize([](auto& conn, auto&) {
        conn.Send("HTTP/1.1 200 OK\r\nX-Pad: " + std::string(1100, 'x') + "\r\n\r\nbody");
    });
    CSockBase base;
    base.SetReceiveLimit(kTestLimitMs);
    EXPECT_EQ(base.HttpGetText(cut.Url("/")), "");
    EXPECT_EQ(base.HttpGetText(oversize.Url("/")), "");
    EXPECT_EQ(base.HttpGetText(L"http://127.0.0.1:0/"), "");
}

// The header is taken up to its blank line and no further, however the
// answer is cut into pieces on the way, and a header of the largest size
// is still taken.
TEST(SockBase, HeaderEndsAtItsBlankLineWhateverPiecesArrive) {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n";
    const std::string longerHead = "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n";
    const std::string padded = "HTTP/1.1 200 OK\r\nX: " + std::string(CSockBase::kHeaderMax - 1 - 24, 'x') + "\r\n\r\n";
    ASSERT_EQ(padded.size(), CSockBase::kHeaderMax - 1);
    struct Case {
        std::string answer;
        size_t piece;
        std::string body;  // what the text fetch returns
    } cases[] = {
        {head + "body", 1, "body"},
        {head + "body", 3, "body"},  // the blank line straddles two pieces
        {longerHead + "\r\n\r\nbody", 5, "\r\n\r\nbody"},
        {padded + "body", 100, "body"},
    };
    for (const Case& c : cases) {
        CLoopbackServer server([&](auto& conn, auto&) { conn.Drip(c.answer, c.piece, 1); });
        CSockBase base;
        base.SetReceiveLimit(kTestLimitMs);
        EXPECT_EQ(base.HttpGetText(server.Url("/t")), c.body) << c.piece << " " << c.answer.size();
    }
}

class SockDownFile : public ::testing::Test {
protected:
    CTempDir dir;
    fs::path dest = dir / "icon.ico";
    const std::string source = PatternBytes(10000);
    CRecordingDownload down;
};

// Answers a full GET with the file and a Range GET with its rest.
void ServeFile(CLoopbackServer::CConn& conn, const std::string& request, const std::string& file,
               const std::string& etag) {
    const std::string etagLine = etag.empty() ? "" : "ETag: " + etag + "\r\n";
    const size_t from = RangeStart(request);
    if (from > 0)
        conn.Reply("206 Partial Content", file.substr(from), etagLine);
    else
        conn.Reply("200 OK", file, etagLine);
}

TEST_F(SockDownFile, DownloadsWithEtagAndReportsProgress) {
    CLoopbackServer server([&](auto& conn, auto& request) { ServeFile(conn, request, source, "\"abc/123\""); });
    ASSERT_TRUE(down.DownloadFile(W(dest), server.Url("/icon.ico")));
    EXPECT_TRUE(Bytes(dest) == source);
    EXPECT_FALSE(fs::exists(WorkFile(dest, "_abc_123_")));
    EXPECT_EQ(server.RequestCount(), 2u);  // probe and transfer
    ASSERT_FALSE(down.percents.empty());
    EXPECT_EQ(down.percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(down.percents.begin(), down.percents.end()));
}

TEST_F(SockDownFile, CompleteWorkFileIsMovedWithoutARequest) {
    WriteText(WorkFile(dest, "_abc_123_"), source);
    WriteText(dest, "old icon");
    CLoopbackServer server([&](auto& conn, auto& request) { ServeFile(conn, request, source, "\"abc/123\""); });
    ASSERT_TRUE(down.DownloadFile(W(dest), server.Url("/icon.ico")));
    EXPECT_TRUE(Bytes(dest) == source);
    EXPECT_EQ(server.RequestCount(), 1u) << "only the probe";
    EXPECT_EQ(down.percents, std::vector<int>{100});
}

TEST_F(SockDownFile, ResumesAfterTheServerDropsMidBody) {
    std::atomic<int> transfers{0};
    CLoopbackServer server([&](auto& conn, auto& request) {
        const size_t from = RangeStart(request);
        const std::string etag = "ETag: \"v1\"\r\n";
        if (server.RequestCount() % 2 == 1) return (void)conn.Reply("200 OK", source, etag);
        // Each transfer sends 3000 bytes of what is left, then drops.
        ++transfers;
        const std::string rest = source.substr(from);
        const std::string header = std::string(from > 0 ? "HTTP/1.1 206 Partial Content" : "HTTP/1.1 200 OK") +
                                   "\r\nContent-Length: " + std::to_string(rest.size()) + "\r\n" + etag + "\r\n";
        conn.Send(header + rest.substr(0, 3000));
    });
    ASSERT_TRUE(down.DownloadFile(W(dest), server.Url("/f")));
    const std::filesystem::path sourceCopy = dir / "source";
    WriteBytes(sourceCopy, std::vector<uint8_t>(source.begin(), source.end()));
    EXPECT_EQ(Md5File(dest), Md5File(sourceCopy));
    EXPECT_TRUE(Md5File(dest).has_value());
    EXPECT_EQ(transfers.load(), 4);
    std::vector<size_t> starts;
    for (const auto& r : server.Requests())
        if (r.find("Range:") != std::string::npos) starts.push_back(RangeStart(r));
    EXPECT_EQ(starts, (std::vector<size_t>{3000, 6000, 9000}));
}

TEST_F(SockDownFile, PartialWorkFileSurvivesFiveFailedRounds) {
    CLoopbackServer server([&](auto& conn, auto& request) {
        if (RangeStart(request) > 0) return;  // a transfer that never gets an answer
        if (server.RequestCount() == 2) {
            conn.Send("HTTP/1.1 200 OK\r\nContent-Length: 10000\r\nETag: \"v1\"\r\n\r\n" + source.substr(0, 4000));
            return;
        }
        conn.Reply("200 OK", source, "ETag: \"v1\"\r\n");
    });
    EXPECT_FALSE(down.DownloadFile(W(dest), server.Url("/f")));
    EXPECT_EQ(server.RequestCount(), 10u);
    EXPECT_TRUE(Bytes(WorkFile(dest, "_v1_")) == source.substr(0, 4000));
}

TEST_F(SockDownFile, WholeAnswerToARangeRequestStartsTheWorkFileAgain) {
    WriteText(WorkFile(dest, "_v2_"), std::string(700, 'x'));
    CLoopbackServer server([&](auto& conn, auto&) { conn.Reply("200 OK", source, "ETag: \"v2\"\r\n"); });
    ASSERT_TRUE(down.DownloadFile(W(dest), server.Url("/f")));
    EXPECT_TRUE(Bytes(dest) == source);
    EXPECT_EQ(RangeStart(server.Requests().at(1)), 700u);
}

TEST_F(SockDownFile, OverlongWorkFileIsEmptied) {
    WriteText(WorkFile(dest, "_v3_"), source + "trailing");
    CLoopbackServer server([&](auto& conn, auto& request) { ServeFile(conn, request, source, "\"v3\""); });
    ASSERT_TRUE(down.DownloadFile(W(dest), server.Url("/f")));
    EXPECT_TRUE(Bytes(dest) == source);
    EXPECT_EQ(RangeStart(server.Requests().at(1)), 0u);
}

// A server's ETag must not name an existing file, the destination included:
// whatever it says, the neighbours keep their bytes and the destination gets
// exactly the file.
TEST_F(SockDownFile, EtagNamesNoFileButAWorkFile) {
    struct Case {
        const char* etag;
        const char* neighbour;  // an existing file beside the destination, "" for none
    } const cases[] = {
        {"Statistic.ini", "Statistic.ini"},
        {"icon.ico", ""},
        {"\"icon.ico\"", "_icon.ico_"},
    };
    for (const auto& c : cases) {
        const std::string settings = "[Doln2]\r\nInst=3\r\n";
        if (*c.neighbour != '\0') WriteText(dir / c.neighbour, settings);
        WriteText(dest, "old icon");
        CLoopbackServer server([&](auto& conn, auto& request) { ServeFile(conn, request, source, c.etag); });
        EXPECT_TRUE(down.DownloadFile(W(dest), server.Url("/icon.ico"))) << c.etag;
        EXPECT_TRUE(Bytes(dest) == source) << c.etag;
        EXPECT_EQ(RangeStart(server.Requests().back()), 0u) << c.etag;
        if (*c.neighbour != '\0') {
            EXPECT_EQ(Bytes(dir / c.neighbour), settings) << c.etag;
            fs::remove(dir / c.neighbour);
        }
    }
}

TEST_F(SockDownFile, WithoutEtagTheFileReplacesAnExistingDestination) {
    WriteText(dest, "old icon");
    CLoopbackServer server([&](auto& conn, auto& request) { ServeFile(conn, request, source, ""); });
    ASSERT_TRUE(down.DownloadFile(W(dest), server.Url("/f")));
    EXPECT_TRUE(Bytes(dest) == source);
    EXPECT_FALSE(fs::exists(dir / "icon.ico.~tmp"));
}

TEST_F(SockDownFile, FollowsTheExactRedirectOnly) {
    CLoopbackServer target([&](auto& conn, auto& request) { ServeFile(conn, request, source, "\"r\""); });
    const std::string there = "Location: http://" + target.HostPort() + "/real\r\n";
    CLoopbackServer moved([&](auto& conn, auto&) { conn.Reply("302 Moved Temporarily", "", there); });
    CLoopbackServer found([&](auto& conn, auto&) { conn.Reply("302 Found", "", there); });

    ASSERT_TRUE(down.DownloadFile(W(dest), moved.Url("/old")));
    EXPECT_TRUE(Bytes(dest) == source);
    EXPECT_EQ(moved.RequestCount(), 1u);
    EXPECT_EQ(target.RequestCount(), 2u) << "the transfer goes to the new host";
    EXPECT_EQ(target.Requests()[1].substr(0, 14), "GET /real HTTP");

    EXPECT_EQ(down.Probe(W(dir / "other"), found.Url("/old")), 2);
    EXPECT_FALSE(down.DownloadFile(W(dir / "other"), found.Url("/old")));
    EXPECT_FALSE(fs::exists(dir / "other"));
}

TEST_F(SockDownFile, RedirectLoopStops) {
    std::string self;
    CLoopbackServer server([&](auto& conn, auto&) { conn.Reply("302 Moved Temporarily", "", self); });
    self = "Location: http://" + server.HostPort() + "/again\r\n";
    EXPECT_EQ(down.Probe(W(dest), server.Url("/again")), 1);
    EXPECT_EQ(server.RequestCount(), 1u + CSockBase::kMaxRedirects);
    EXPECT_FALSE(down.DownloadFile(W(dest), server.Url("/again")));
}

TEST_F(SockDownFile, BadProbesFailAtOnceWithoutRetry) {
    struct Case {
        const char* what;
        std::string answer;
    } cases[] = {
        {"no Content-Length", "HTTP/1.1 200 OK\r\nETag: \"x\"\r\n\r\n" + source},
        {"oversize header", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nX-Pad: " + std::string(1020, 'p') + "\r\n\r\n12345"},
        {"header cut short", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n"},
        {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\n12345"},
    };
    for (const auto& c : cases) {
        CLoopbackServer server([&](auto& conn, auto&) { conn.Send(c.answer); });
        EXPECT_FALSE(down.DownloadFile(W(dest), server.Url("/f"))) << c.what;
        EXPECT_EQ(server.RequestCount(), 1u) << c.what;
        EXPECT_FALSE(fs::exists(dest)) << c.what;
    }
    EXPECT_EQ(down.Probe(L"", L"http://127.0.0.1/"), 1);
    EXPECT_EQ(down.Probe(W(dest), L""), 1);
}

TEST_F(SockDownFile, ErrorPageOfTheTransferIsNotTakenForTheFile) {
    CLoopbackServer server([&](auto& conn, auto&) {
        if (server.RequestCount() % 2 == 1)
            conn.Reply("200 OK", source);
        else
            conn.Reply("500 Internal Server Error", std::string(source.size(), 'e'));
    });
    EXPECT_FALSE(down.DownloadFile(W(dest), server.Url("/f")));
    EXPECT_FALSE(fs::exists(dest));
}

TEST_F(SockDownFile, ProbeGivesUpAfterTheProgramsReceiveLimit) {
    CLoopbackServer server([&](auto& conn, auto&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        conn.Reply("200 OK", source);
    });
    CSockDownFile plain;
    EXPECT_EQ(plain.ReceiveLimit(), 128u);
    EXPECT_EQ(plain.Probe(W(dest), server.Url("/slow")), 1);
}
