#include <windows.h>

#include <gtest/gtest.h>

#include "net/http_get_win.h"
#include "net/http_url.h"
#include "tests/win/loopback_server_win.h"

namespace {

class HttpGetTest : public testing::Test {
protected:
    std::wstring Base() const { return m_server.Url(""); }
    // The server's address under another scheme name.
    std::wstring As(const std::wstring& scheme, const std::string& path) const {
        return scheme + m_server.Url(path).substr(4);
    }

    CWinLoopbackServer m_server;
};

TEST_F(HttpGetTest, RequestsTheObjectOnThePortGiven) {
    const struct {
        std::wstring suffix;
        const char* target;
    } cases[] = {
        {L"/x", "/x"},
        {L"/install.htm?tag=Doln2&ver=3.0.0.1&count=1", "/install.htm?tag=Doln2&ver=3.0.0.1&count=1"},
        {L"", "/"},   // no "/" after the host: the empty object
        {L"/", "/"},
    };
    for (const auto& c : cases) {
        m_server.Clear();
        EXPECT_TRUE(HttpGet(Base() + c.suffix, L"")) << c.target;
        EXPECT_EQ(GetLastError(), 0u);
        ASSERT_TRUE(m_server.WaitForRequests(1, 5000)) << c.target;
        EXPECT_EQ(m_server.Targets().at(0), c.target);
    }
}

TEST_F(HttpGetTest, SendsTheAgentVerbVersionAndHeaderTextExactly) {
    ASSERT_TRUE(HttpGet(As(L"HTTP", "/x"), L""));
    ASSERT_TRUE(m_server.WaitForRequests(1, 5000));
    const std::string head = m_server.Requests().at(0);
    EXPECT_EQ(head.rfind("GET /x HTTP/1.1\r\n", 0), 0u) << head;
    // Wine's WinINet rebuilds the header lines and drops a value's trailing
    // blank, so the text handed to it is checked on its own, to the blank.
    EXPECT_STREQ(kHttpGetHeaders, L"Accept-Language: zh-cn \r\nContent-Type: application/x-www-form-urlencoded\r\n");
    EXPECT_TRUE(head.find("\r\nAccept-Language: zh-cn \r\n") != std::string::npos ||
                head.find("\r\nAccept-Language: zh-cn\r\n") != std::string::npos)
        << head;
    EXPECT_NE(head.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: ZMX\r\n"), std::string::npos) << head;
}

TEST_F(HttpGetTest, RefusedInputSendsNothing) {
    const std::wstring refused[] = {
        As(L"https", "/x"),
        As(L"ftp", "/x"),
        L"http://" + std::wstring(260, L'h') + L"/x",
        Base() + L"/" + std::wstring(512, L'o'),
        L"http://127.0.0.1:70000/x",
    };
    for (const auto& url : refused) {
        SetLastError(0);
        EXPECT_FALSE(HttpGet(url, L"")) << url.size();
        EXPECT_NE(GetLastError(), 0u);
    }
    // The longest object that fits is still sent.
    EXPECT_TRUE(HttpGet(Base() + L"/" + std::wstring(511, L'o'), L""));
    ASSERT_TRUE(m_server.WaitForRequests(1, 5000));
    Sleep(200);
    ASSERT_EQ(m_server.Requests().size(), 1u);
    EXPECT_EQ(m_server.Targets().at(0), "/" + std::string(511, 'o'));
}

TEST_F(HttpGetTest, ARefusedConnectionFailsQuicklyWithItsError) {
    const uint16_t port = UnusedLoopbackPort();
    const DWORD start = GetTickCount();
    EXPECT_FALSE(HttpGet(L"http://127.0.0.1:" + std::to_wstring(port) + L"/x", L""));
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_LT(GetTickCount() - start, 3 * kHttpGetTimeoutMs + 2000);
}

// Beacons stay out of the browser's cache; a GET whose answer is read (the
// update download) still goes through it, which shows the check can see an
// entry at all.
TEST_F(HttpGetTest, BeaconAnswersAreNotCachedButReadAnswersAre) {
    auto cached = [](const std::wstring& url) {
        DWORD size = 0;
        GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size);
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    };
    CWinLoopbackServer server([](auto& conn, auto&) { conn.Reply("200 OK", "GIF89a"); });
    const std::wstring beacon = server.Url("/_regevent.gif?event=100");
    ASSERT_TRUE(HttpGet(beacon, L""));
    EXPECT_FALSE(cached(beacon));

    const std::wstring read = server.Url("/update.exe");
    const auto target = ParseHttpUrl(read);
    ASSERT_TRUE(target);
    CHttpGetHandles handles;
    ASSERT_TRUE(handles.Open(target->host, target->port, target->object, kHttpGetTimeoutMs));
    ASSERT_TRUE(SendHttpGet(handles.Request(), L""));
    char buffer[64];
    DWORD got = 0;
    while (InternetReadFile(handles.Request(), buffer, sizeof buffer, &got) && got > 0) {
    }
    handles.Close();
    EXPECT_TRUE(cached(read));
}

}  // namespace
