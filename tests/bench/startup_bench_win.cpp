// `make bench`'s start-up benchmark, run under Wine: the client from process
// start to its login face (its login window visible and the login page
// requested) against the bare browser host (bare_browser_win.cpp) from
// process start to its window visible and the same address requested.
// Both programs lie beside this one; both are started by CreateProcess,
// watched the same way (a visible top-level window of at least 100 x 100
// pixels made by the process's first thread, and the request seen by our
// loopback server) and
// ended the same way. The client is a relabelled copy in the install folder
// whose hosts all name that server, started as its desktop shortcut starts
// it: the start users make every day, with the active statistics and the
// desktop-icon check beside its login face.
//
// `bench startup_sick` times the same start with every statistics host and
// the portal hung (accepting, never answering) against it with all of them
// healthy: nothing the face needs comes from them, so it should not wait.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/ini_win.h"
#include "app/settings_store_win.h"
#include "base/code_page.h"
#include "relabel/block_edit.h"
#include "app/pe_image.h"
#include "tests/bench/bench_compare.h"
#include "tests/win/black_hole_server_win.h"
#include "tests/win/loopback_server_win.h"

namespace {

constexpr double kTarget = 0.67;
constexpr double kSickTarget = 0.90;
constexpr DWORD kRunTimeoutMs = 30000;
constexpr int kMinWindowSide = 100;
constexpr DWORD kPollMs = 2;
constexpr char kLoginPath[] = "/doln/bench/reg.html";
constexpr wchar_t kSection[] = L"BenchDoln";

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// A copy of the built client with the probe and the login page on the
// bench's server and its other hosts on `statHost` (the same server unless
// the bench makes them sick); empty when it cannot be written.
std::wstring WriteClient(const std::wstring& built, const std::wstring& path, const std::string& host,
                         const std::string& statHost) {
    std::ifstream in(built.c_str(), std::ios::binary);
    std::vector<uint8_t> image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const pe::CtrlLocation location = pe::FindCtrlBlock(image);
    if (location.error != pe::Error::None) return {};
    relabel::Block block;
    std::copy_n(image.begin() + static_cast<ptrdiff_t>(location.fileOffset), block.size(), block.begin());
    const auto gbk = MakeGbkCodePage();
    const std::pair<const char*, std::string> slots[] = {
        {"LoginPageUrl", "http://" + host + kLoginPath + "?a=1&"},
        {"PortalHost", statHost},
        {"PayHost", host},
        {"ClientStatHost", statHost},
        {"DeviceStatHost", statHost},
        {"EventStatHost", statHost},
        {"OnlineStatHost", statHost},
        {"PartnerHost", host},
        {"GameHallHost", host},
        {"ProbeUrl", "http://" + host + "/"},
        {"ShortName", Narrow(kSection)},
    };
    for (const auto& [slot, value] : slots) {
        if (!relabel::SetSlot(block, slot, value, *gbk).empty()) return {};
    }
    std::copy(block.begin(), block.end(), image.begin() + static_cast<ptrdiff_t>(location.fileOffset));
    pe::UpdateChecksum(image);
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    return out ? path : std::wstring();
}

BOOL CALLBACK FindShownWindow(HWND window, LPARAM param) {
    if (!IsWindowVisible(window)) return TRUE;
    RECT r{};
    GetWindowRect(window, &r);
    if (r.right - r.left < kMinWindowSide || r.bottom - r.top < kMinWindowSide) return TRUE;
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
}

// Watching costs the program watched: under Wine every look at another
// process's window is a round trip to the one server process that the
// program waits on for its own work too. Looking at every window on the
// desktop each millisecond made both programs slower, and the client, which
// asks more of the server, by more. So the look is narrow and sparer: only
// the first thread's windows, where both programs make theirs, and every
// kPollMs.
bool ShowsAWindow(DWORD threadId) {
    bool shown = false;
    EnumThreadWindows(threadId, FindShownWindow, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

bool LoginPageSeen(const CWinLoopbackServer& server) {
    for (const std::string& target : server.Targets()) {
        if (target.rfind(kLoginPath, 0) == 0) return true;
    }
    return false;
}

// Starts `commandLine` and times it until it shows a window and the server
// has seen the login page's request; then ends it and waits for its end.
std::optional<double> TimeToFace(const std::wstring& exe, const std::wstring& args, CWinLoopbackServer& server) {
    server.Clear();
    std::wstring commandLine = L"\"" + exe + L"\" " + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const LARGE_INTEGER start = Now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, FolderOf(exe).c_str(),
                        &startup, &process)) {
        return std::nullopt;
    }
    std::optional<double> took;
    bool shown = false, requested = false;
    while (Seconds(start, Now()) * 1000 < kRunTimeoutMs) {
        if (!requested) requested = LoginPageSeen(server);
        if (!shown) shown = ShowsAWindow(process.dwThreadId);
        if (shown && requested) {
            took = Seconds(start, Now());
            break;
        }
        if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) break;
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!took) std::printf("bench startup: %s: window %s, login page %s\n", Narrow(exe).c_str(),
                           shown ? "shown" : "never shown", requested ? "requested" : "never requested");
    return took;
}

}  // namespace

int wmain() {
    const std::wstring here = FolderOf(ModulePath());
    CWinLoopbackServer server;
    const std::string host = server.HostPort();

    const std::wstring installFolder = CommonAppDataFolder() + L"\\7251\\GameLogin";
    SHCreateDirectoryExW(nullptr, installFolder.c_str(), nullptr);
    const std::wstring client = WriteClient(here + L"\\corvane.exe", installFolder + L"\\BenchDoln.exe", host, host);
    CBlackHoleServer hung;
    const std::wstring sick =
        WriteClient(here + L"\\corvane.exe", installFolder + L"\\BenchSick.exe", host, hung.HostPort());
    if (client.empty() || sick.empty()) {
        std::printf("bench startup: cannot write the relabelled client from %s\n", Narrow(here).c_str());
        return 1;
    }
    const std::wstring bare = here + L"\\bare_browser.exe";
    const std::wstring loginUrl = L"http://" + std::wstring(host.begin(), host.end()) + L"/doln/bench/reg.html?a=1&";

    auto ours = [&] { return TimeToFace(client, L"/Doln2D", server); };
    auto baseline = [&] { return TimeToFace(bare, loginUrl, server); };
    // The first start of each loads what later starts find in the caches.
    bool met = false;
    const bool ok = ours() && baseline() && bench::Compare("startup", kTarget, ours, baseline, met);
    auto sickStart = [&] { return TimeToFace(sick, L"/Doln2D", server); };
    bool sickMet = false;
    const bool sickOk = sickStart() && bench::Compare("startup_sick", kSickTarget, sickStart, ours, sickMet);
    DeleteFileW(client.c_str());
    DeleteFileW(sick.c_str());
    WritePrivateProfileStringW(kSection, nullptr, nullptr, SettingsFilePath().c_str());
    return ok && met && sickOk && sickMet ? 0 : 1;
}
