#include <gtest/gtest.h>

#include <deque>

#include "net/update_check.h"
#include "net/update_download.h"
#include "tests/native/test_files.h"

namespace {
const std::wstring kDigest = L"0123456789abcdef0123456789abcdef";
}  // namespace

TEST(UpdateCheck, VersionTag) {
    struct Case {
        std::wstring version, tag;
    } cases[] = {
        {L"3.0.0.1", L"0123456789abcdef0123456789ab3001"},
        {L"", kDigest},
        {L"...", kDigest},
        {L"1.2", L"0123456789abcdef0123456789abcd12"},
        {std::wstring(40, L'9'), std::wstring(40, L'9')},  // longer than the digest: no digest left
    };
    for (const auto& c : cases) EXPECT_EQ(VersionTag(kDigest, c.version), c.tag) << c.version.size();
}

TEST(UpdateCheck, Answers) {
    CTempDir dir;
    const std::wstring program = (dir / "p.exe").wstring();
    WriteBytes(program, {'a', 'b', 'c'});
    // MD5("abc") is 900150983cd24fb0d6963f7d28e17f72 (RFC 1321).
    const std::wstring tag = L"900150983CD24FB0D6963F7D28E13001";
    EXPECT_EQ(CheckUpdateTag(L"", program, L"3.0.0.1"), 0);
    EXPECT_EQ(CheckUpdateTag(L"", (dir / "missing").wstring(), L"3.0.0.1"), 0) << "an empty tag answers at once";
    EXPECT_EQ(CheckUpdateTag(tag, program, L"3.0.0.1"), 0) << "case does not matter";
    EXPECT_NE(CheckUpdateTag(tag, program, L"3.0.0.2"), 0);
    EXPECT_NE(CheckUpdateTag(tag + L"0", program, L"3.0.0.1"), 0);
    EXPECT_NE(CheckUpdateTag(tag, (dir / "missing").wstring(), L"3.0.0.1"), 0);
    WriteBytes(program, {'a', 'b', 'd'});
    EXPECT_NE(CheckUpdateTag(tag, program, L"3.0.0.1"), 0) << "another file";
}

TEST(UpdateDownload, ParseAddress) {
    struct Case {
        std::wstring address;
        bool ok;
        std::wstring host;
        unsigned port;
        std::wstring object;
    } cases[] = {
        {L"http://dl.maker.com/up/setup.exe", true, L"dl.maker.com", 80, L"up/setup.exe"},
        {L"HTTP://h:8080/x", true, L"h", 8080, L"x"},
        {L"http://h", true, L"h", 80, L""},
        {L"https://h/x", false, L"", 0, L""},
        {L"ftp://h/x", false, L"", 0, L""},
        {L"http://h:0/x", false, L"", 0, L""},
        {L"http://h:70000/x", false, L"", 0, L""},
        {L"http://h:8o/x", false, L"", 0, L""},
        {L"http:///x", false, L"", 0, L""},
        {L"http://" + std::wstring(260, L'h') + L"/x", false, L"", 0, L""},
        {L"http://h/" + std::wstring(510, L'o'), false, L"", 0, L""},
    };
    for (const auto& c : cases) {
        CDownloadTarget target;
        EXPECT_EQ(ParseDownloadAddress(c.address, target), c.ok) << c.address.substr(0, 40).size();
        if (!c.ok) continue;
        EXPECT_EQ(target.host, c.host);
        EXPECT_EQ(target.port, c.port);
        EXPECT_EQ(target.object, c.object);
    }
}

TEST(UpdateDownload, MakerDomains) {
    const std::wstring domains = L"maker.com; Maker-Games.cn ;;127.0.0.1";
    struct Case {
        std::wstring address;
        bool ok;
    } cases[] = {
        {L"http://maker.com/f.exe", true},
        {L"http://dl.MAKER.com:81/f.exe", true},
        {L"http://maker-games.cn/f.exe", true},
        {L"http://127.0.0.1:7251/f.exe", true},
        {L"http://evilmaker.com/f.exe", false},
        {L"http://maker.com.evil.net/f.exe", false},
        {L"http://evil.net/maker.com/f.exe", false},
        {L"http://evil.net/f.exe?maker.com", false},
        {L"https://maker.com/f.exe", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsMakerAddress(c.address, domains), c.ok) << c.address.size();
    EXPECT_FALSE(IsMakerAddress(L"http://maker.com/f.exe", L""));
}

TEST(UpdateDownload, PercentInSixtyFourBits) {
    EXPECT_EQ(DownloadPercent(0, 100), 0);
    EXPECT_EQ(DownloadPercent(21474837, 21474840), 99);  // done * 100 overflows 32 bits
    EXPECT_EQ(DownloadPercent(3000000000u, 4000000000u), 75);
    EXPECT_EQ(DownloadPercent(5, 0), 100);
    EXPECT_EQ(DownloadPercent(120, 100), 100);
}

namespace {

// A scripted answer: status, optional length, then the body in pieces.
class CFakeRequest final : public IUpdateRequest {
public:
    bool openOk = true;
    int status = 200;
    bool hasLength = true;
    uint32_t length = 0;
    std::deque<std::string> pieces;
    bool opened = false;
    std::function<void()> onRead;

    bool Open(const CDownloadTarget&) override { return opened = openOk; }
    int StatusCode() override { return status; }
    bool ContentLength(uint32_t& value) override {
        value = length;
        return hasLength;
    }
    long Read(char* buffer, size_t size) override {
        if (onRead) onRead();
        if (pieces.empty()) return 0;
        std::string& piece = pieces.front();
        const size_t n = std::min(size, piece.size());
        piece.copy(buffer, n);
        piece.erase(0, n);
        if (piece.empty()) pieces.pop_front();
        return static_cast<long>(n);
    }
};

}  // namespace

TEST(UpdateDownload, Results) {
    constexpr uint64_t kNoLimit = UINT64_MAX;
    CTempDir dir;
    const std::string body(3000, 'b');
    struct Case {
        const char* what;
        std::wstring address;
        int status;
        bool hasLength;
        uint32_t length;
        std::string sent;
        bool ok;
        uint64_t limit;
    } cases[] = {
        {"complete", L"http://127.0.0.1/f", 200, true, 3000, body, true, kNoLimit},
        {"server error with body and length", L"http://127.0.0.1/f", 500, true, 3000, body, true, kNoLimit},
        {"not found", L"http://127.0.0.1/f", 404, true, 3000, body, false, kNoLimit},
        {"no length", L"http://127.0.0.1/f", 200, false, 0, body, false, kNoLimit},
        {"short", L"http://127.0.0.1/f", 200, true, 3001, body, false, kNoLimit},
        {"more than announced", L"http://127.0.0.1/f", 200, true, 1000, body, true, kNoLimit},
        {"foreign domain", L"http://evil.net/f", 200, true, 3000, body, false, kNoLimit},
        {"announced length at the size limit", L"http://127.0.0.1/f", 200, true, 3000, body, true, 3000},
        {"announced length over the size limit", L"http://127.0.0.1/f", 200, true, 3000, body, false, 2999},
    };
    for (const auto& c : cases) {
        const auto dest = dir / "setup.exe";
        std::filesystem::remove(dest);
        CFakeRequest request;
        request.status = c.status;
        request.hasLength = c.hasLength;
        request.length = c.length;
        request.pieces = {c.sent.substr(0, 1000), c.sent.substr(1000)};
        std::vector<int> percents;
        std::atomic<bool> cancel{false};
        const CUpdateJob job{c.address, dest.wstring(), L"127.0.0.1", c.limit};
        EXPECT_EQ(RunUpdateDownload(job, request, [&](int p) { percents.push_back(p); }, cancel), c.ok) << c.what;
        if (c.length > c.limit) EXPECT_FALSE(std::filesystem::exists(dest)) << "nothing is written: " << c.what;
        if (c.ok) {
            EXPECT_EQ(ReadText(dest), body.substr(0, c.length)) << c.what;
            EXPECT_EQ(percents.back(), 100) << c.what;
        }
        if (std::string(c.what) == "foreign domain") {
            EXPECT_FALSE(request.opened);
        }
    }
}

TEST(UpdateDownload, CancelStopsAndKeepsThePartialFile) {
    CTempDir dir;
    CFakeRequest request;
    request.length = 5000;
    request.pieces = {std::string(1000, 'a'), std::string(1000, 'b'), std::string(3000, 'c')};
    std::atomic<bool> cancel{false};
    int reads = 0;
    request.onRead = [&] {
        if (++reads == 3) cancel = true;
    };
    const CUpdateJob job{L"http://127.0.0.1/f", (dir / "part.exe").wstring(), L"127.0.0.1"};
    EXPECT_FALSE(RunUpdateDownload(job, request, [](int) {}, cancel));
    const auto size = std::filesystem::file_size(dir / "part.exe");
    EXPECT_GT(size, 0u);
    EXPECT_LT(size, 5000u);
}

TEST(UpdateDownload, DestinationThatCannotBeCreated) {
    CTempDir dir;
    CFakeRequest request;
    request.length = 10;
    request.pieces = {"0123456789"};
    std::atomic<bool> cancel{false};
    const CUpdateJob job{L"http://127.0.0.1/f", (dir / "no" / "such" / "f.exe").wstring(), L"127.0.0.1"};
    EXPECT_FALSE(RunUpdateDownload(job, request, [](int) {}, cancel));
}
