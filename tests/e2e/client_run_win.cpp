#include "tests/e2e/client_run_win.h"

#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

#include "base/code_page.h"
#include "relabel/block_edit.h"
#include "app/pe_image.h"

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

SlotValues LoopbackSlots(const std::string& host, const std::string& shortName) {
    return {{"ClientStatHost", host}, {"DeviceStatHost", host}, {"EventStatHost", host},
            {"ProbeUrl", "http://" + host + "/"}, {"PortalHost", host}, {"ShortName", shortName}};
}

namespace {

struct WindowSearch {
    const std::function<bool(HWND)>* match;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (!(*search->match)(window)) return TRUE;
    search->found = window;
    return FALSE;
}

bool IsDialogClass(HWND window) { return ClassOf(window) == L"#32770"; }

// The label of the skinned box's button that gives `result`.
std::wstring LabelOf(int result) {
    switch (result) {
        case IDYES: return L"是";
        case IDNO: return L"否";
        case IDCANCEL: return L"取消";
        default: return L"确定";
    }
}

HWND ButtonLabelled(HWND box, const std::wstring& label) {
    for (int id : {5000, 5001}) {
        const HWND button = GetDlgItem(box, id);
        if (button != nullptr && WindowText(button) == label) return button;
    }
    return nullptr;
}

}  // namespace

HWND FindWindowWhere(const std::function<bool(HWND)>& match) {
    WindowSearch search{&match};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindWindowOfProcess(DWORD processId, const std::function<bool(HWND)>& match) {
    return FindWindowWhere([&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == processId && match(window);
    });
}

// The one dialog of the client with a taskbar button of its own and no
// owner; its controls come only with the first login.
bool IsMainFrame(HWND window) {
    return IsDialogClass(window) && GetWindow(window, GW_OWNER) == nullptr &&
           (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0;
}

bool IsMessageBox(HWND window) {
    return IsWindowVisible(window) && IsDialogClass(window) && GetDlgItem(window, 5000) != nullptr;
}

CClientImage::CClientImage() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string program = ReadWholeFile(FolderOf(self) + L"\\corvane.exe");
    m_program.assign(program.begin(), program.end());
}

bool CClientImage::Write(const std::wstring& path, const SlotValues& slots) const {
    std::vector<uint8_t> image = m_program;
    const pe::CtrlLocation location = pe::FindCtrlBlock(image);
    if (location.error != pe::Error::None) return false;
    relabel::Block block;
    std::copy_n(image.begin() + static_cast<ptrdiff_t>(location.fileOffset), block.size(), block.begin());
    const auto gbk = MakeGbkCodePage();
    for (const auto& [slot, value] : slots) {
        if (!relabel::SetSlot(block, slot, value, *gbk).empty()) return false;
    }
    std::copy(block.begin(), block.end(), image.begin() + static_cast<ptrdiff_t>(location.fileOffset));
    pe::UpdateChecksum(image);
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return out.good();
}

RunOptions Answering(std::function<int(const BoxSeen&)> answer) {
    RunOptions options;
    options.answer = std::move(answer);
    return options;
}

RunOptions AtLoginFace(std::function<void(HWND frame, DWORD processId)> step) {
    RunOptions options;
    options.atLoginFace = std::move(step);
    return options;
}

RunOptions EveryPoll(std::function<void(DWORD processId)> look) {
    RunOptions options;
    options.everyPoll = std::move(look);
    return options;
}

namespace {

bool IsElevatedProcess(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                          elevation.TokenIsElevated != 0;
    CloseHandle(token);
    return elevated;
}

// The limited token linked to this program's elevated one.
HANDLE LimitedToken() {
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own)) return nullptr;
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    const BOOL got = GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size);
    CloseHandle(own);
    if (!got) return nullptr;
    HANDLE primary = nullptr;
    DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary, &primary);
    CloseHandle(linked.LinkedToken);
    return primary;
}

}  // namespace

std::vector<ChildProcess> ChildrenOf(DWORD parentId) {
    std::vector<ChildProcess> children;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return children;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parentId || entry.th32ProcessID == parentId) continue;
        const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process == nullptr) continue;
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT && QueryFullProcessImageNameW(process, 0, path, &size)) {
            children.push_back({entry.th32ProcessID, path, IsElevatedProcess(process)});
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return children;
}

RunResult RunClient(const std::wstring& exe, const std::wstring& args, const RunOptions& options) {
    RunResult result;
    std::wstring commandLine = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    HANDLE token = options.limitedToken ? LimitedToken() : nullptr;
    if (options.limitedToken && token == nullptr) return result;
    // A start that fails is tried again a little later: one was seen to fail
    // at once, late in a long Wine session, for a copy that starts every
    // time on its own; before the client runs, no fault can be the client's.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0) Sleep(1000);
        started = token != nullptr
                      ? CreateProcessAsUserW(token, exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                             nullptr, FolderOf(exe).c_str(), &startup, &process)
                      : CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       FolderOf(exe).c_str(), &startup, &process);
        if (!started && result.startError == 0) result.startError = GetLastError();
    }
    if (token != nullptr) CloseHandle(token);
    if (!started) return result;
    const DWORD pid = process.dwProcessId;
    result.processId = pid;
    const DWORD start = GetTickCount();
    HWND answered = nullptr;
    while (GetTickCount() - start < options.timeoutMs) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            result.ended = true;
            break;
        }
        if (options.everyPoll) options.everyPoll(pid);
        const HWND frame = FindWindowOfProcess(pid, IsMainFrame);
        if (frame != nullptr && IsWindowVisible(frame) && !result.sawLoginFace) {
            result.sawLoginFace = true;
            if (options.atLoginFace) options.atLoginFace(frame, pid);
            PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 7251);
        }
        HWND box = FindWindowOfProcess(pid, IsMessageBox);
        for (const ChildProcess& child : box == nullptr ? ChildrenOf(pid) : std::vector<ChildProcess>{}) {
            if ((box = FindWindowOfProcess(child.id, IsMessageBox)) != nullptr) break;
        }
        if (box == nullptr || box == answered) continue;
        // The box's text is the hidden static control 0xFFFF.
        BoxSeen seen{WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))};
        // A user answers by the button's label; a box without it stays unanswered.
        const HWND button = ButtonLabelled(box, LabelOf(options.answer ? options.answer(seen) : IDOK));
        if (button == nullptr) continue;
        result.boxes.push_back(seen);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        answered = box;
    }
    if (!result.ended) TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

std::wstring LoginTextFor(const std::wstring& label, const std::wstring& pauth) {
    return label + L"||Pauth=" + pauth + L"||ptusertype=1||logingame=7251";
}

LRESULT SendLoginText(HWND frame, const std::wstring& text) {
    std::u16string units(text.begin(), text.end());
    units.push_back(u'\0');
    COPYDATASTRUCT data{0, static_cast<DWORD>(units.size() * sizeof(char16_t)), units.data()};
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                             &answer)) {
        return -1;
    }
    return static_cast<LRESULT>(answer);
}

bool PumpUntil(DWORD ms, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (done && done()) return true;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return done && done();
}
