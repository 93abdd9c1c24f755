#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "net/sock_down_file.h"
#include "tests/win/loopback_server_win.h"
#include "tests/win/test_files_win.h"

namespace {

std::wstring TempFolder(const wchar_t* name) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

size_t RangeStart(const std::string& request) {
    const std::string range = RequestHeader(request, "Range");
    return range.empty() ? 0 : std::stoul(range.substr(6));
}

// Longer than the program's 128 ms: Wine on a loaded machine answers late.
constexpr unsigned kTestLimitMs = 3000;

class CLastProgress : public CSockDownFile {
public:
    CLastProgress() { SetReceiveLimit(kTestLimitMs); }
    void OnProgress(int percent) override { last = percent; }
    int last = -1;
};

}  // namespace

TEST(SockDownFileWin, FullDownloadOverWinsock) {
    const std::string source = PatternBytes(300000);
    CWinLoopbackServer server([&](auto& conn, auto&) { conn.Reply("200 OK", source, "ETag: \"full/1\"\r\n"); });
    const std::wstring folder = TempFolder(L"corvane-sock-full");
    const std::wstring dest = folder + L"\\图标.ico";
    WriteAll(dest, "previous icon");
    CLastProgress down;
    ASSERT_TRUE(down.DownloadFile(dest, server.Url("/icon.ico")));
    EXPECT_TRUE(ReadAll(dest) == source);
    EXPECT_EQ(down.last, 100);
    EXPECT_EQ(GetFileAttributesW((dest + L".~etag._full_1_").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(dest.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(SockDownFileWin, ResumesAWorkFileLeftByAnEarlierRun) {
    const std::string source = PatternBytes(50000);
    CWinLoopbackServer server([&](auto& conn, auto& request) {
        const size_t from = RangeStart(request);
        if (from > 0)
            conn.Reply("206 Partial Content", source.substr(from), "ETag: \"r2\"\r\n");
        else
            conn.Reply("200 OK", source, "ETag: \"r2\"\r\n");
    });
    const std::wstring folder = TempFolder(L"corvane-sock-resume");
    const std::wstring dest = folder + L"\\icon.ico";
    WriteAll(dest + L".~etag._r2_", source.substr(0, 20000));
    CSockDownFile down;
    down.SetReceiveLimit(kTestLimitMs);
    ASSERT_TRUE(down.DownloadFile(dest, server.Url("/icon.ico")));
    EXPECT_TRUE(ReadAll(dest) == source);
    ASSERT_EQ(server.RequestCount(), 2u);
    EXPECT_EQ(RangeStart(server.Requests()[1]), 20000u);
    DeleteFileW(dest.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(SockDownFileWin, TextFetch) {
    CWinLoopbackServer server([](auto& conn, auto&) { conn.Reply("200 OK", "{\"time\":\"1\"}"); });
    CSockBase base;
    base.SetReceiveLimit(kTestLimitMs);
    EXPECT_EQ(base.HttpGetText(server.Url("/icon.json")), "{\"time\":\"1\"}");
}
