// The soak run: the client under Wine for an evening's use, watched from
// outside. Each cycle logs three accounts in, switches tabs, uses the
// screenshot tool, the boss and sound keys, the settings and favourites
// dialogs, F5, and closes its pages three ways; now and then the portal is
// stopped and the statistics hosts swallow their requests. Every few cycles
// the client's handles, GDI and USER objects, windows, threads and private
// bytes are sampled; the exit status is 1 when any grew past its bound
// between the first sample (after cycle 1) and the last, or a step failed.
//
//   soak CYCLES
#include <winsock2.h>
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/gui_object_count_win.h"
#include "app/settings_store_win.h"
#include "browser/tab_strip.h"
#include "shot/shot_opera_win.h"
#include "tests/e2e/client_run_win.h"
#include "tests/e2e/frame_driver_win.h"
#include "tests/win/loopback_server_win.h"
#include "ui/dlg_ex_win.h"

namespace {

constexpr wchar_t kSection[] = L"E2eSoak";
constexpr int kSampleEvery = 3;
constexpr long kCountBound = 8;
constexpr double kPrivateBoundMiB = 4.0;
// The frame's minute timer, driven from here rather than waited for.
constexpr WPARAM kRunningTimeTimer = 8;

bool g_failed = false;

bool Check(bool ok, int cycle, const char* what) {
    if (!ok) {
        std::printf("soak: cycle %d: %s: FAILED\n", cycle, what);
        std::fflush(stdout);
        g_failed = true;
    }
    return ok;
}

// --- the services, and their faults ------------------------------------------

// The portal (login page, icon description) and the statistics hosts on
// ports of their own. The portal can be stopped and started again on its
// port; the statistics hosts can turn into a black hole that takes each
// request and never answers it.
class CServices {
public:
    CServices()
        : m_portal(std::make_unique<CWinLoopbackServer>()),
          m_stats([this](CWinLoopbackServer::CConn& conn, const std::string& request) {
              // Held unanswered; closed without a word once the hole ends.
              if (m_blackHole) {
                  while (m_blackHole && !m_ending) Sleep(20);
                  return;
              }
              CWinLoopbackServer::AnswerOk(conn, request);
          }),
          m_portalPort(m_portal->Port()) {}
    ~CServices() { m_ending = true; }

    std::string PortalHost() const { return "127.0.0.1:" + std::to_string(m_portalPort); }
    std::string StatHost() const { return m_stats.HostPort(); }
    size_t StatRequests() const { return m_stats.RequestCount(); }

    void SetPortalUp(bool up) {
        if (up == (m_portal != nullptr)) return;
        if (!up) {
            m_portal.reset();
            return;
        }
        // The port may linger a moment after its listener closed.
        for (int attempt = 0; attempt < 100 && m_portal == nullptr; ++attempt) {
            try {
                m_portal = std::make_unique<CWinLoopbackServer>(m_portalPort, CWinLoopbackServer::AnswerOk);
            } catch (const std::exception&) {
                Sleep(100);
            }
        }
    }
    bool PortalUp() const { return m_portal != nullptr; }
    void SetBlackHole(bool on) { m_blackHole = on; }

private:
    std::atomic<bool> m_blackHole{false};
    std::atomic<bool> m_ending{false};
    std::unique_ptr<CWinLoopbackServer> m_portal;
    CWinLoopbackServer m_stats;
    uint16_t m_portalPort;
};

// --- measuring from outside --------------------------------------------------

struct Sample {
    long handles = 0;
    long gdi = 0;
    long user = 0;
    long windows = 0;
    long threads = 0;
    double privateMiB = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++*reinterpret_cast<long*>(param);
    return TRUE;
}

long WindowsOf(DWORD pid) {
    struct Count {
        DWORD pid;
        long windows = 0;
    } count{pid};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& c = *reinterpret_cast<Count*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != c.pid) return TRUE;
            ++c.windows;
            EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&c.windows));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

long ThreadsOf(DWORD pid) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    long threads = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == pid) ++threads;
    }
    CloseHandle(snapshot);
    return threads;
}

// Wine leaves PrivateUsage 0 and fills its twin, the commit charge.
double PrivateMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) return -1;
    return static_cast<double>(memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage) / 1048576.0;
}

// The lesser of two readings, where -1 is none.
double Least(double a, double b) {
    if (a < 0) return b;
    if (b < 0) return a;
    return a < b ? a : b;
}

// Wine answers GetProcessHandleCount with 0 for another process; there
// each handle value is tried instead: a live one can be duplicated.
long HandlesOf(HANDLE process) {
    DWORD counted = 0;
    if (GetProcessHandleCount(process, &counted) && counted != 0) return static_cast<long>(counted);
    constexpr UINT_PTR kLastHandle = 0x10000;
    long handles = 0;
    for (UINT_PTR value = 4; value < kLastHandle; value += 4) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                            DUPLICATE_SAME_ACCESS)) {
            ++handles;
            CloseHandle(copy);
        }
    }
    return handles;
}

// GetGuiResources where the system answers it; Wine answers 0, and then the
// client counts its own objects when asked by its registered message.
long GuiObjects(HANDLE process, HWND frame, DWORD kind) {
    if (const DWORD counted = GetGuiResources(process, kind)) return static_cast<long>(counted);
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(frame, GuiObjectCountMessage(), kind == GR_GDIOBJECTS ? 0 : 1, 0, SMTO_ABORTIFHUNG,
                             20000, &answer)) {
        return -1;
    }
    return static_cast<long>(answer);
}

Sample Measure(DWORD pid, HWND frame) {
    Sample sample;
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE, FALSE, pid);
    if (process == nullptr) return sample;
    sample.handles = HandlesOf(process);
    // A few readings a moment apart, of which the least counts, as the
    // cycle's step readings do (CStepWatch).
    sample.privateMiB = -1;
    for (int reading = 0; reading < 4; ++reading) {
        if (reading > 0) Sleep(700);
        sample.privateMiB = Least(sample.privateMiB, PrivateMiB(process));
    }
    sample.gdi = GuiObjects(process, frame, GR_GDIOBJECTS);
    sample.user = GuiObjects(process, frame, GR_USEROBJECTS);
    CloseHandle(process);
    sample.windows = WindowsOf(pid);
    sample.threads = ThreadsOf(pid);
    return sample;
}

// With SOAK_TRACE set, each step prints the client's private bytes after
// it, which tells which step a growth comes from.
bool Tracing() {
    static const bool tracing = GetEnvironmentVariableW(L"SOAK_TRACE", nullptr, 0) != 0;
    return tracing;
}

// Reads the client's private bytes after each step of a cycle and keeps the
// least. Wine holds a window's surface (a screenful for the frame or the
// screenshot tool) only while the window is mapped, and when it lets one go
// varies from run to run, so any one reading may carry a screenful or not;
// a leak raises every reading, the least among them included.
class CStepWatch {
public:
    CStepWatch(DWORD pid, int cycle) : m_pid(pid), m_cycle(cycle), m_last(GetTickCount()) {}

    void Step(const char* step) {
        const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, m_pid);
        const double privateMiB = process != nullptr ? PrivateMiB(process) : -1;
        if (process != nullptr) CloseHandle(process);
        m_least = Least(m_least, privateMiB);
        if (!Tracing()) return;
        const DWORD now = GetTickCount();
        std::printf("trace: cycle %d %-14s %5.1f s, private %.2f MiB, threads %ld\n", m_cycle, step,
                    (now - m_last) / 1000.0, privateMiB, ThreadsOf(m_pid));
        m_last = now;
        std::fflush(stdout);
    }

    int Cycle() const { return m_cycle; }
    // The least reading of the cycle's steps; -1 before any.
    double LeastMiB() const { return m_least; }

private:
    DWORD m_pid;
    int m_cycle;
    DWORD m_last;
    double m_least = -1;
};

// --- driving the client ------------------------------------------------------

// Waits for `done`, answering any skinned box the client shows with its
// first button (the soak expects none, and says so).
bool WaitFor(DWORD pid, DWORD ms, const std::function<bool()>& done) {
    return PumpUntil(ms, [&] {
        if (const HWND box = FindWindowOfProcess(pid, IsMessageBox)) {
            std::printf("soak: a box: %s\n", Narrow(WindowText(GetDlgItem(box, 0xFFFF))).c_str());
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(5000, BN_CLICKED), 0);
            g_failed = true;
        }
        return done && done();
    });
}

// Until the client's thread takes messages again: a key pressed while it is
// busy would find the keyboard hook timed out.
void WaitUntilIdle(HWND frame) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer);
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *--it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND VisibleDialogWhere(DWORD pid, const std::function<bool(HWND)>& match) {
    return FindWindowOfProcess(pid, [&](HWND w) {
        return IsWindowVisible(w) && ClassOf(w) == L"#32770" && !IsMainFrame(w) && match(w);
    });
}

bool IsOverlay(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r.right - r.left == GetSystemMetrics(SM_CXSCREEN) && r.bottom - r.top == GetSystemMetrics(SM_CYSCREEN);
}

// Opens the screenshot tool, drags a selection and ends with the toolbar's
// button `finish` (copy to the clipboard, or cancel).
bool UseScreenshotTool(HWND frame, DWORD pid, UINT finish) {
    WaitUntilIdle(frame);
    ClickButton(frame, tabs::id::kScreenshot);
    HWND overlay = nullptr;
    if (!WaitFor(pid, 15000, [&] { return (overlay = VisibleDialogWhere(pid, IsOverlay)) != nullptr; })) {
        std::printf("soak: no overlay\n");
        EnumWindows([](HWND w, LPARAM p) -> BOOL { DWORD o = 0; GetWindowThreadProcessId(w, &o); RECT r{}; GetWindowRect(w, &r);
            if (o == static_cast<DWORD>(p)) std::printf("  %p %s vis=%d %ld,%ld,%ld,%ld\n", (void*)w, Narrow(ClassOf(w)).c_str(), IsWindowVisible(w), r.left, r.top, r.right, r.bottom);
            return TRUE; }, pid);
        return false;
    }
    PostMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    PostMessageW(overlay, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(250, 200));
    PostMessageW(overlay, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 300));
    PostMessageW(overlay, WM_LBUTTONUP, 0, MAKELPARAM(400, 300));
    HWND toolbar = nullptr;
    if (!WaitFor(pid, 5000, [&] {
            return (toolbar = VisibleDialogWhere(pid, [](HWND w) { return GetDlgItem(w, CShotOpera::kIdFinish); })) !=
                   nullptr;
        })) {
        std::printf("soak: no toolbar\n");
        return false;
    }
    PostMessageW(toolbar, WM_COMMAND, MAKEWPARAM(finish, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(toolbar, finish)));
    return WaitFor(pid, 5000, [&] { return !IsWindowVisible(overlay); });
}

// Picks the tool menu's "设置..." (second from the bottom) and closes the
// settings dialog it opens as its cancel button would.
bool OpenAndCloseSettings(HWND frame, DWORD pid) {
    ClickButton(frame, tabs::id::kToolMenu);
    HWND menu = nullptr;
    if (!WaitFor(pid, 5000, [&] { return (menu = ShownMenu(pid)) != nullptr; })) return false;
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    HWND settings = nullptr;
    if (!WaitFor(pid, 5000, [&] {
            return (settings = VisibleDialogWhere(pid, [](HWND w) { return GetDlgItem(w, IDCANCEL); })) != nullptr;
        })) {
        return false;
    }
    PostMessageW(settings, WM_COMMAND, IDCANCEL, 0);
    return WaitFor(pid, 5000, [&] { return !IsWindow(settings); });
}

// Ctrl+D in the page asks for a favourite; its dialog is closed unanswered.
bool OpenAndCloseFavourites(DWORD pid, HWND page) {
    PostMessageW(page, WM_CHAR, 4, 0x00200001);  // Ctrl+D, the D key's scan code
    HWND favourites = nullptr;
    if (!WaitFor(pid, 5000, [&] {
            return (favourites = VisibleDialogWhere(pid, [](HWND w) { return GetDlgItem(w, IDOK); })) != nullptr;
        })) {
        return false;
    }
    PostMessageW(favourites, WM_COMMAND, IDCANCEL, 0);
    return WaitFor(pid, 5000, [&] { return !IsWindow(favourites); });
}

POINT ScreenPoint(HWND frame, int x, int y) {
    POINT point{x, y};
    ClientToScreen(frame, &point);
    return point;
}

bool RunCycle(CStepWatch& watch, HWND frame, DWORD pid) {
    const int cycle = watch.Cycle();
    WaitUntilIdle(frame);
    for (const wchar_t* label : {L"1服-甲", L"2服-乙", L"3服-丙"}) {
        if (!Check(SendLoginText(frame, LoginTextFor(label, L"tok")) == 1, cycle, "a login")) return false;
    }
    if (!Check(WaitFor(pid, 5000, [&] { return GamePages(frame).size() == 3; }), cycle, "three pages")) return false;
    const std::vector<HWND> pages = GamePages(frame);
    PostMessageW(frame, WM_TIMER, kRunningTimeTimer, 0);
    watch.Step("logins");

    PressTab(frame, 0);
    Check(WaitFor(pid, 3000, [&] { return VisiblePage(frame) == pages[0]; }), cycle, "a tab's click");
    WaitUntilIdle(frame);
    PressKeys({VK_CONTROL, VK_TAB});
    Check(WaitFor(pid, 3000, [&] { return VisiblePage(frame) == pages[1]; }), cycle, "the window-switch key");
    watch.Step("tabs");

    Check(UseScreenshotTool(frame, pid, CShotOpera::kIdFinish), cycle, "a screenshot copied");
    watch.Step("shot copied");
    Check(UseScreenshotTool(frame, pid, CShotOpera::kIdCancel), cycle, "a screenshot cancelled");
    watch.Step("shot cancelled");

    WaitUntilIdle(frame);
    PressKeys({VK_F10});
    Check(WaitFor(pid, 5000, [&] { return !IsWindowVisible(frame); }), cycle, "the boss key hides");
    WaitUntilIdle(frame);
    PressKeys({VK_F10});
    // Wine without a window manager takes seconds to map windows again.
    Check(WaitFor(pid, 15000, [&] { return IsWindowVisible(frame) && VisiblePage(frame) != nullptr; }), cycle,
          "the boss key restores");
    watch.Step("boss key");

    // The sound key twice, each applied by the 400 ms timer.
    for (int i = 0; i < 2; ++i) {
        WaitUntilIdle(frame);
        PressKeys({VK_CONTROL, 'Q'});
        WaitFor(pid, 500, nullptr);
    }

    Check(OpenAndCloseSettings(frame, pid), cycle, "the settings dialog");
    watch.Step("settings");
    if (const HWND page = VisiblePage(frame)) {
        Check(OpenAndCloseFavourites(pid, page), cycle, "the favourites dialog");
        PostMessageW(page, WM_KEYDOWN, VK_F5, 0);
        watch.Step("favourites+F5");
    } else {
        Check(false, cycle, "a page shown");
    }

    // The first tab's close button, pressed and released; then the middle
    // button on what is now the first tab.
    const tabs::Rect close = tabs::CloseButtonRect(0);
    const POINT onClose = ScreenPoint(frame, (close.left + close.right) / 2, (close.top + close.bottom) / 2);
    PostMessageW(frame, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(onClose.x, onClose.y));
    PostMessageW(frame, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(onClose.x, onClose.y));
    Check(WaitFor(pid, 5000, [&] { return GamePages(frame).size() == 2; }), cycle, "a tab's close button");
    const tabs::Rect tab = tabs::TabRect(0);
    const POINT onTab = ScreenPoint(frame, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    PostMessageW(frame, WM_NCMBUTTONUP, HTCAPTION, MAKELPARAM(onTab.x, onTab.y));
    Check(WaitFor(pid, 5000, [&] { return GamePages(frame).size() == 1; }), cycle, "the middle button");
    watch.Step("tab closes");

    ClickButton(frame, CDlgEx::kIdClose);
    // Closing all pages hands their beacons to workers: the pages go at once
    // however the hosts answer; the bound is for a loaded machine.
    const bool closed = Check(WaitFor(pid, 40000, [&] { return GamePages(frame).empty(); }), cycle, "the caption close");
    watch.Step("caption close");
    return closed;
}

std::wstring InstallFolder() { return CommonAppDataFolder() + L"\\7251\\GameLogin"; }

struct Growth {
    const char* name;
    double first;
    double last;
    double bound;
};

}  // namespace

int wmain() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const int cycles = argc > 1 ? _wtoi(argv[1]) : 5;
    if (cycles < 2) {
        std::fprintf(stderr, "usage: soak CYCLES (at least 2)\n");
        return 2;
    }
    CServices services;
    const CClientImage image;
    const std::wstring client = InstallFolder() + L"\\E2eSoak.exe";
    SHCreateDirectoryExW(nullptr, InstallFolder().c_str(), nullptr);
    const std::string stat = services.StatHost();
    SlotValues slots = LoopbackSlots(services.PortalHost(), "E2eSoak");
    for (const char* host : {"ClientStatHost", "DeviceStatHost", "EventStatHost", "OnlineStatHost"})
        slots.push_back({host, stat});
    slots.push_back({"LoginPageUrl", "http://" + services.PortalHost() + "/doln/reg.html?"});
    if (!image.Loaded() || !image.Write(client, slots)) {
        std::fprintf(stderr, "soak: cannot write the client\n");
        return 1;
    }

    std::wstring commandLine = L"\"" + client + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(client.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        InstallFolder().c_str(), &startup, &process)) {
        std::fprintf(stderr, "soak: cannot start the client\n");
        return 1;
    }
    const DWORD pid = process.dwProcessId;
    HWND frame = nullptr;
    WaitFor(pid, 60000, [&] {
        frame = FindWindowOfProcess(pid, IsMainFrame);
        return frame != nullptr && IsWindowVisible(frame);
    });
    Check(frame != nullptr, 0, "the login face");

    // The portal is down for the second fifth of the run, the statistics
    // hosts a black hole for the fourth; the last cycles run clean.
    const auto faultAt = [&](int cycle, int fifth) { return cycle > cycles * fifth / 5 && cycle <= cycles * (fifth + 1) / 5; };
    Sample first;
    Sample last;
    size_t statBefore = 0;
    size_t cleanCycleRequests = 0;
    size_t mostRequests = 0;
    int done = 0;
    double sinceSample = -1;
    for (int cycle = 1; frame != nullptr && cycle <= cycles && IsWindow(frame); ++cycle) {
        services.SetPortalUp(!faultAt(cycle, 1));
        services.SetBlackHole(faultAt(cycle, 3));
        statBefore = services.StatRequests();
        CStepWatch watch(pid, cycle);
        RunCycle(watch, frame, pid);
        const size_t requests = services.StatRequests() - statBefore;
        if (cycle == 1) cleanCycleRequests = requests;
        mostRequests = std::max(mostRequests, requests);
        done = cycle;
        // The first cycle's steps are the warm-up: its pages and the tool's
        // first capture grow the process by design. Later samples take the
        // least of every step since the one before, since one cycle may hold
        // a screenful of surface through all its steps.
        if (cycle > 1) sinceSample = Least(sinceSample, watch.LeastMiB());
        if (cycle == 1 || cycle % kSampleEvery == 0 || cycle == cycles) {
            // Beacons of the cycle get their time to end before the count.
            WaitFor(pid, 1500, nullptr);
            Sample sample = Measure(pid, frame);
            sample.privateMiB = Least(sample.privateMiB, sinceSample);
            sinceSample = -1;
            (cycle == 1 ? first : last) = sample;
        }
        // Private bytes count from the end of the first cycle: its end
        // readings and the second cycle's steps.
        if (cycle == 2) first.privateMiB = Least(first.privateMiB, watch.LeastMiB());
    }
    services.SetPortalUp(true);
    services.SetBlackHole(false);

    // Failed beacons are dropped, not retried: no cycle sends more than
    // twice what a clean one does.
    Check(mostRequests <= 2 * cleanCycleRequests, done, "beacons stay bounded");
    if (frame != nullptr && IsWindow(frame)) PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 7251);
    const bool ended = WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 99);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    Check(ended && exitCode == 0, done, "the client ends with 0");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileW(client.c_str());
    WritePrivateProfileStringW(kSection, nullptr, nullptr, SettingsFilePath().c_str());

    const Growth growths[] = {
        {"handles", double(first.handles), double(last.handles), kCountBound},
        {"gdi", double(first.gdi), double(last.gdi), kCountBound},
        {"user", double(first.user), double(last.user), kCountBound},
        {"windows", double(first.windows), double(last.windows), kCountBound},
        {"threads", double(first.threads), double(last.threads), kCountBound},
    };
    std::printf("soak: cycles %d", done);
    bool grew = false;
    for (const Growth& g : growths) {
        std::printf(", %s %.0f->%.0f", g.name, g.first, g.last);
        grew = grew || g.last - g.first > g.bound || g.first < 0 || g.last < 0;
    }
    std::printf(", private MiB %.1f->%.1f\n", first.privateMiB, last.privateMiB);
    grew = grew || last.privateMiB - first.privateMiB > kPrivateBoundMiB;
    return grew || g_failed || done != cycles ? 1 : 0;
}
