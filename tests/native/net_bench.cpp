// Downloads the same 64 MiB file from a loopback server with DownloadFile
// and with curl, and prints both throughputs; the last line is the ratio of
// DownloadFile's throughput to curl's.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "net/sock_down_file.h"
#include "tests/native/loopback_server.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kSize = 64u << 20;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double MiBps(double seconds) { return static_cast<double>(kSize) / (1 << 20) / seconds; }

bool SameSize(const fs::path& path) {
    std::error_code ec;
    return fs::file_size(path, ec) == kSize && !ec;
}

}  // namespace

int main() {
    const std::string file = PatternBytes(kSize);
    CLoopbackServer server([&](CLoopbackServer::CConn& conn, const std::string& request) {
        const std::string range = RequestHeader(request, "Range");
        const size_t from = range.empty() ? 0 : std::stoull(range.substr(6));
        if (from > 0)
            conn.Reply("206 Partial Content", file.substr(from), "ETag: \"bench\"\r\n");
        else
            conn.Reply("200 OK", file, "ETag: \"bench\"\r\n");
    });
    const fs::path dir = fs::temp_directory_path() / ("corvane-bench-" + std::to_string(server.Port()));
    fs::create_directories(dir);
    const fs::path ours = dir / "ours.bin";
    const fs::path theirs = dir / "curl.bin";

    auto start = std::chrono::steady_clock::now();
    CSockDownFile down;
    const bool ok = down.DownloadFile(ours.wstring(), server.Url("/bench.bin"));
    const double oursSeconds = Seconds(start);

    const std::string command = "curl -s -o '" + theirs.string() + "' 'http://" + server.HostPort() + "/bench.bin'";
    start = std::chrono::steady_clock::now();
    const int curlStatus = std::system(command.c_str());
    const double curlSeconds = Seconds(start);

    const bool oursOk = ok && SameSize(ours);
    const bool curlOk = curlStatus == 0 && SameSize(theirs);
    fs::remove_all(dir);
    if (!oursOk || !curlOk) {
        std::printf("bench failed: DownloadFile %s, curl %s\n", oursOk ? "ok" : "failed", curlOk ? "ok" : "failed");
        return 1;
    }
    std::printf("DownloadFile: %.1f MiB/s (%.3f s)\n", MiBps(oursSeconds), oursSeconds);
    std::printf("curl: %.1f MiB/s (%.3f s)\n", MiBps(curlSeconds), curlSeconds);
    std::printf("ratio=%.3f\n", curlSeconds / oursSeconds);
    return 0;
}
