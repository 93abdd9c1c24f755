// `make bench`: the socket downloader against curl on a 64 MiB loopback file,
// and the file digest against md5sum on 256 MiB, measured and printed as
// tests/bench/bench_compare.h says. Exit status 1 when a run fails or a ratio
// misses its target.
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "net/md5.h"
#include "net/sock_down_file.h"
#include "tests/bench/bench_compare.h"
#include "tests/native/loopback_server.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr size_t kDownloadSize = 64u << 20;
constexpr size_t kDigestSize = 256u << 20;

// Runs a program with its standard output in `output`; true when it exits 0.
bool RunProgram(const std::vector<std::string>& args, const fs::path& output) {
    std::vector<char*> argv;
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool DownloadBench(const fs::path& dir, bool& met) {
    const std::string file = PatternBytes(kDownloadSize);
    CLoopbackServer server([&](CLoopbackServer::CConn& conn, const std::string& request) {
        // A fresh work file is never resumed, so every request wants it all.
        (void)request;
        const std::string header = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(file.size()) +
                                   "\r\nETag: \"bench\"\r\n\r\n";
        if (conn.Send(header)) conn.Send(file);
    });
    const fs::path ours = dir / "ours.bin";
    const fs::path theirs = dir / "curl.bin";
    const std::string url = "http://" + server.HostPort() + "/bench.bin";
    auto oursRun = [&] {
        fs::remove(ours);
        CSockDownFile down;
        return down.DownloadFile(ours.wstring(), server.Url("/bench.bin")) && ReadAll(ours) == file;
    };
    auto curlRun = [&] {
        fs::remove(theirs);
        return RunProgram({"curl", "-s", "-o", theirs.string(), url}, "/dev/null") &&
               fs::file_size(theirs) == file.size();
    };
    // The content check reads the file back; it is not the downloader's cost.
    // Timed runs check the size only, after one checked run of each.
    if (!oursRun() || !curlRun()) {
        std::printf("bench download: the downloaded file is wrong\n");
        return false;
    }
    return bench::Compare("download", 0.9, bench::Timed([&] {
                              fs::remove(ours);
                              CSockDownFile down;
                              return down.DownloadFile(ours.wstring(), server.Url("/bench.bin")) &&
                                     fs::file_size(ours) == file.size();
                          }),
                          bench::Timed(curlRun), met);
}

bool DigestBench(const fs::path& dir, bool& met) {
    const fs::path path = dir / "digest.bin";
    {
        const std::string bytes = PatternBytes(kDigestSize);
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    const fs::path listing = dir / "md5sum.txt";
    std::string ourDigest;
    auto oursRun = [&] {
        const auto digest = Md5File(path);
        if (!digest) return false;
        ourDigest = WideToUtf8(*digest);
        return true;
    };
    auto md5sumRun = [&] { return RunProgram({"md5sum", path.string()}, listing); };
    if (!oursRun() || !md5sumRun() || ReadAll(listing).substr(0, 32) != ourDigest) {
        std::printf("bench md5: the digests differ\n");
        return false;
    }
    return bench::Compare("md5", 0.9, bench::Timed(oursRun), bench::Timed(md5sumRun), met);
}

}  // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("corvane-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    bool downloadMet = false, digestMet = false;
    const bool ok = DownloadBench(dir, downloadMet) && DigestBench(dir, digestMet);
    fs::remove_all(dir);
    return ok && downloadMet && digestMet ? 0 : 1;
}
