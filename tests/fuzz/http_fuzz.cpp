// Answers of web servers to the socket downloader: status lines, headers,
// redirects, lengths, ETags made into file names and bodies, over whole
// downloads and text fetches. The answers of successive connections are
// separated by a line "#next".
#include <filesystem>
#include <string>
#include <unistd.h>

#include "base/utf8.h"
#include "net/sock_down_file.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/scripted_socket.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string_view> Answers(std::string_view bytes) {
    constexpr std::string_view kSeparator = "\n#next\n";
    std::vector<std::string_view> answers;
    for (;;) {
        const size_t at = bytes.find(kSeparator);
        if (at == std::string_view::npos || answers.size() == 15) break;
        answers.push_back(bytes.substr(0, at));
        bytes.remove_prefix(at + kSeparator.size());
    }
    answers.push_back(bytes);
    return answers;
}

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() / ("corvane-fuzz-http-" + std::to_string(getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

// The work file named after the ETag lies beside the destination, whatever
// the server put in the ETag.
void RequireWorkFileBeside(const CSockDownFile& down) {
    // Paths go to the file calls as UTF-8, whatever the process's locale.
    const fs::path work(WideToUtf8(down.WorkFilePath()));
    const std::string name = work.filename().string();
    fuzz::Require(work.parent_path() == Folder() && name != "." && name != "..",
                  "the work file lies beside the destination");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string_view> answers = Answers(fuzz::Bytes(data, size));
    const fs::path destination = Folder() / "game.ico";

    scripted_socket::Play(answers);
    CSockDownFile down;
    const bool ok = down.DownloadFile(destination.wstring(), L"http://127.0.0.1:7251/icon/game.ico");
    if (ok) {
        std::error_code ec;
        const auto length = fs::file_size(destination, ec);
        fuzz::Require(!ec && static_cast<int64_t>(length) == down.ContentLength(), "a download has the announced length");
    }
    RequireWorkFileBeside(down);
    fuzz::Require(scripted_socket::Connections() <= 2 * CSockDownFile::kRounds * (CSockBase::kMaxRedirects + 2),
                  "a download opens a bounded number of connections");

    scripted_socket::Play(answers);
    CSockBase text;
    fuzz::Require(text.HttpGetText(L"http://127.0.0.1:7251/icon.php").size() <= CSockBase::kTextBodyMax,
                  "a text body fits its bound");

    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(Folder(), ec)) fs::remove_all(entry.path(), ec);
    return 0;
}
