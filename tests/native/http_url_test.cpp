#include <gtest/gtest.h>

#include "net/http_url.h"

namespace {

TEST(HttpUrl, SplitsHostPortAndObject) {
    const struct {
        std::wstring url;
        const wchar_t* host;
        uint16_t port;
        const wchar_t* object;
    } cases[] = {
        {L"http://stat.example.net/install.htm?tag=a", L"stat.example.net", 80, L"install.htm?tag=a"},
        {L"HTTP://Host/x", L"Host", 80, L"x"},
        {L"http://h:8080/x", L"h", 8080, L"x"},
        {L"http://127.0.0.1:7251/", L"127.0.0.1", 7251, L""},
        {L"http://h", L"h", 80, L""},
        {L"http://h:81", L"h", 81, L""},
        {L"http://h:/x", L"h", 0, L"x"},
        {L"http://h:8080x/y", L"h", 8080, L"y"},
        {L"http://h/a/b:c", L"h", 80, L"a/b:c"},
        {L"http://" + std::wstring(259, L'h') + L"/o", nullptr, 80, L"o"},
        {L"http://h/" + std::wstring(511, L'o'), L"h", 80, nullptr},
    };
    for (const auto& c : cases) {
        const auto target = ParseHttpUrl(c.url);
        ASSERT_TRUE(target.has_value()) << c.url.size();
        if (c.host) {
            EXPECT_EQ(target->host, c.host);
        }
        EXPECT_EQ(target->port, c.port);
        if (c.object) {
            EXPECT_EQ(target->object, c.object);
        }
    }
}

TEST(HttpUrl, RefusesWhatItCannotSend) {
    const std::wstring refused[] = {
        L"https://h/x",
        L"ftp://h/x",
        L"http:/h/x",
        L"",
        L"http://",
        L"http:///x",
        L"http://:80/x",
        L"http://h:65536/x",
        L"http://h:-1/x",
        L"http://" + std::wstring(260, L'h') + L"/o",
        L"http://h/" + std::wstring(512, L'o'),
    };
    for (const auto& url : refused) EXPECT_FALSE(ParseHttpUrl(url).has_value()) << url.size();
}

}  // namespace
