#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "net/update_dialog_win.h"
#include "tests/win/loopback_server_win.h"
#include "tests/win/test_files_win.h"

// The update dialog run modally against a loopback server, with 127.0.0.1
// as the maker's only domain.

namespace {

// The dialog as it stands when its initialisation is over.
class CWatchedDlg : public CPrgsDlg {
public:
    bool centred = false;
    bool barSized = false;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CPrgsDlg::OnInitDialog();
        RECT w{}, d{};
        GetWindowRect(&w);
        ::GetWindowRect(::GetDesktopWindow(), &d);
        centred = std::abs((w.left + w.right) / 2 - (d.left + d.right) / 2) <= 1 &&
                  std::abs((w.top + w.bottom) / 2 - (d.top + d.bottom) / 2) <= 1;
        RECT bar{};
        m_progress.GetWindowRect(&bar);
        barSized = bar.right - bar.left == 390 && bar.bottom - bar.top == 21;  // the track image's size
        return result;
    }
};

// While the dialog runs: what the test saw of it, and when to press close.
struct Watch {
    CWatchedDlg* dialog = nullptr;
    std::wstring destination;
    bool cancelWhenWriting = false;
    int highestPos = 0;
    bool pressed = false;
    bool topmost = false;
    int ticks = 0;
};
thread_local Watch* g_watch = nullptr;  // the timer procedure's way to its dialog

void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
    Watch& w = *g_watch;
    const HWND dialog = w.dialog->m_hWnd;
    if (dialog == nullptr || w.pressed) return;
    if (w.dialog->m_progress.m_hWnd != nullptr) w.highestPos = std::max(w.highestPos, w.dialog->m_progress.GetPos());
    ++w.ticks;
    if ((GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) w.topmost = true;
    if (!w.cancelWhenWriting) return;
    if (w.ticks == 2) {
        // Enter never ends the dialog.
        PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(dialog, WM_KEYUP, VK_RETURN, 0xC0000001);
    }
    if (w.highestPos > 0 && ReadAll(w.destination).size() > 0) {
        // The caption's close button.
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(CDlgEx::kIdClose, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, CDlgEx::kIdClose)));
        w.pressed = true;
    }
}

struct Outcome {
    INT_PTR result = -1;
    DWORD elapsedMs = 0;
    Watch watch;
    bool centred = false;
    bool barSized = false;
};

Outcome RunDialog(const std::wstring& address, const std::wstring& destination, bool cancelWhenWriting = false) {
    Outcome out;
    CWatchedDlg dialog;
    dialog.m_strAddress = address;
    dialog.m_strDestination = destination;
    dialog.m_strUpdateDomains = L"127.0.0.1";
    out.watch.dialog = &dialog;
    out.watch.destination = destination;
    out.watch.cancelWhenWriting = cancelWhenWriting;
    g_watch = &out.watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, Look);
    const DWORD start = GetTickCount();
    out.result = dialog.DoModal();
    out.elapsedMs = GetTickCount() - start;
    KillTimer(nullptr, timer);
    g_watch = nullptr;
    out.watch.dialog = nullptr;
    out.centred = dialog.centred;
    out.barSized = dialog.barSized;
    return out;
}

}  // namespace

TEST(UpdateDialog, EndsWithTheDownloadsResult) {
    const std::string file = PatternBytes(150000);
    CWinLoopbackServer server([&](CWinLoopbackServer::CConn& conn, const std::string& request) {
        if (request.find("GET /file ") == 0) conn.Reply("200 OK", file);
        else if (request.find("GET /missing ") == 0) conn.Reply("404 Not Found", "no such file");
        else if (request.find("GET /broken ") == 0) conn.Reply("500 Internal Server Error", file.substr(0, 3000));
        else conn.Reply("400 Bad Request", "");
    });
    struct Case {
        const char* path;
        INT_PTR expected;
        std::string content;  // what the destination holds afterwards
    } const cases[] = {
        {"/file", IDOK, file},
        {"/missing", IDCANCEL, ""},
        // A server error with a body and its length is still a whole file.
        {"/broken", IDOK, file.substr(0, 3000)},
    };
    // Side by side, each on a thread of its own: closing a shown window costs
    // Wine seconds here.
    constexpr std::size_t kCases = std::size(cases);
    std::vector<Outcome> outcomes(kCases);
    std::vector<std::wstring> destinations;
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < kCases; ++i)
        destinations.push_back(TempFile((L"corvane_update_dialog" + std::to_wstring(i) + L".bin").c_str()));
    for (std::size_t i = 0; i < kCases; ++i)
        threads.emplace_back([&, i] { outcomes[i] = RunDialog(server.Url(cases[i].path), destinations[i]); });
    for (auto& thread : threads) thread.join();
    for (std::size_t i = 0; i < kCases; ++i) {
        const Case& c = cases[i];
        const Outcome& out = outcomes[i];
        const std::wstring& dest = destinations[i];
        SCOPED_TRACE(c.path);
        EXPECT_EQ(out.result, c.expected);
        EXPECT_EQ(ReadAll(dest), c.content);
        EXPECT_TRUE(out.centred);
        EXPECT_TRUE(out.barSized);
        DeleteFileW(dest.c_str());
    }
}

TEST(UpdateDialog, ForeignDomainClosesAtOnceWithoutARequest) {
    CWinLoopbackServer server([](CWinLoopbackServer::CConn& conn, const std::string&) { conn.Reply("200 OK", "x"); });
    const std::wstring dest = TempFile(L"corvane_update_foreign.bin");
    // The same server under a name that is not the maker's.
    std::wstring address = server.Url("/file");
    address.replace(address.find(L"127.0.0.1"), 9, L"localhost");
    const Outcome out = RunDialog(address, dest);
    EXPECT_EQ(out.result, IDCANCEL);
    EXPECT_LT(out.elapsedMs, 5000u);  // closing the shown window alone takes Wine about 2 s here
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_FALSE(Exists(dest));
}

TEST(UpdateDialog, CancelDuringASlowDownloadLeavesThePartialFile) {
    const std::string file = PatternBytes(400000);
    CWinLoopbackServer server([&](CWinLoopbackServer::CConn& conn, const std::string&) {
        if (!conn.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(file.size()) + "\r\n\r\n")) return;
        conn.Drip(file, 2048, 25);
    });
    const std::wstring dest = TempFile(L"corvane_update_cancel.bin");
    const Outcome out = RunDialog(server.Url("/file"), dest, true);
    server.Stop();
    EXPECT_TRUE(out.watch.pressed);
    EXPECT_TRUE(out.watch.topmost);
    EXPECT_EQ(out.result, IDCANCEL);
    EXPECT_LT(out.elapsedMs, 8000u);  // ended by the close, not by the whole transfer
    const std::string partial = ReadAll(dest);
    EXPECT_GT(partial.size(), 0u);
    EXPECT_LT(partial.size(), file.size());
    EXPECT_EQ(partial, file.substr(0, partial.size()));
    // The file is closed: it can be removed at once.
    EXPECT_TRUE(DeleteFileW(dest.c_str()));
}
