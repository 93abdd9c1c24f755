#pragma once

// What the end-to-end tests share: copies of the built client relabelled for
// a test, a start that answers the client's message boxes, and finding the
// windows of the client's process from outside.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using SlotValues = std::vector<std::pair<std::string, std::string>>;

std::wstring FolderOf(const std::wstring& path);
std::string Narrow(const std::wstring& text);
std::string ReadWholeFile(const std::wstring& path);
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);

// The first top-level window that `match` accepts, and the first of those
// that belongs to `processId`.
HWND FindWindowWhere(const std::function<bool(HWND)>& match);
HWND FindWindowOfProcess(DWORD processId, const std::function<bool(HWND)>& match);
// The main frame: a top-level dialog that holds the boss button (1001).
bool IsMainFrame(HWND window);
// The skinned message box: a visible dialog with the first button (5000).
bool IsMessageBox(HWND window);

// The built client beside the test program, and copies of it whose control
// block carries `slots` (written in the GBK code page, as the tool does).
// The slots that point a client at a test's loopback server (`host` is
// "127.0.0.1:port") and keep its settings in a section of its own.
SlotValues LoopbackSlots(const std::string& host, const std::string& shortName);

class CClientImage {
public:
    CClientImage();
    bool Loaded() const { return m_program.size() > 0x3000; }
    bool Write(const std::wstring& path, const SlotValues& slots) const;

private:
    std::vector<uint8_t> m_program;
};

struct BoxSeen {
    std::wstring caption;
    std::wstring text;
};

struct RunResult {
    DWORD processId = 0;
    // GetLastError of the first start that failed; 0 when the first ran.
    DWORD startError = 0;
    bool ended = false;
    DWORD exitCode = 0;
    std::vector<BoxSeen> boxes;
    bool sawLoginFace = false;
};

struct RunOptions {
    // How a box is answered (IDOK, IDYES, IDNO, ...); OK when unset.
    std::function<int(const BoxSeen&)> answer;
    // Runs once the login face is visible; the login page's close request
    // follows, which ends a client with no page open.
    std::function<void(HWND frame, DWORD processId)> atLoginFace;
    // Sees the process at each look at its windows.
    std::function<void(DWORD processId)> everyPoll;
    DWORD timeoutMs = 60000;
    // Starts the client with the limited twin of this program's token, as
    // a user without elevation starts it.
    bool limitedToken = false;
};
RunOptions Answering(std::function<int(const BoxSeen&)> answer);
RunOptions AtLoginFace(std::function<void(HWND frame, DWORD processId)> step);
RunOptions EveryPoll(std::function<void(DWORD processId)> look);

// The processes `parentId` started that still run: their programs' full
// paths and whether their tokens are elevated.
struct ChildProcess {
    DWORD id = 0;
    std::wstring path;
    bool elevated = false;
};
std::vector<ChildProcess> ChildrenOf(DWORD parentId);

// Starts `exe` with `args` in its own folder and watches it until it ends or
// the time runs out (then it is killed and `ended` stays false). Boxes are
// answered in its child processes too (an elevated copy shows its own).
RunResult RunClient(const std::wstring& exe, const std::wstring& args, const RunOptions& options = {});

// The login text the login page sends for an account of `label`.
std::wstring LoginTextFor(const std::wstring& label, const std::wstring& pauth);

// Sends the login page's login text to the frame, as the page does once an
// account has logged in; the frame's answer (1 for a new page, 0 refused).
LRESULT SendLoginText(HWND frame, const std::wstring& text);

// Runs this thread's messages for `ms` (windows of the client may send to
// ours, for example as their owner), or until `done` holds.
bool PumpUntil(DWORD ms, const std::function<bool()>& done);
