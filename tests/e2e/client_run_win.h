#pragma once

// Running the client itself in the end-to-end tests: a copy of the built
// program relabelled for the test, started the way users start it, watched
// through its windows until it ends.

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "relabel/block_edit.h"
#include "relabel/pe_image.h"

namespace e2e {

inline constexpr DWORD kStartTimeoutMs = 60000;

using Slots = std::vector<std::pair<std::string, std::string>>;

inline std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

inline std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The built and labelled client beside the test program.
inline std::vector<uint8_t> BuiltClient(const std::wstring& testProgram) {
    std::ifstream in((Folder(testProgram) + L"\\corvane.exe").c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The slots that point a client at the test's loopback server (`host` is
// "127.0.0.1:port") and keep its settings in a section of its own.
inline Slots LoopbackSlots(const std::string& host, const std::string& shortName) {
    return {{"ClientStatHost", host}, {"DeviceStatHost", host}, {"EventStatHost", host},
            {"ProbeUrl", "http://" + host + "/"}, {"PortalHost", host}, {"ShortName", shortName}};
}

// Writes `program` to `path` with `slots` set in its control block; the first
// slot that cannot be set is named in the answer, empty on success.
inline std::string WriteClient(std::vector<uint8_t> program, const std::wstring& path, const Slots& slots) {
    const pe::CtrlLocation location = pe::FindCtrlBlock(program);
    if (location.error != pe::Error::None) return "no control block";
    relabel::Block block;
    std::copy_n(program.begin() + static_cast<ptrdiff_t>(location.fileOffset), block.size(), block.begin());
    const auto gbk = MakeGbkCodePage();
    for (const auto& [slot, value] : slots) {
        if (!relabel::SetSlot(block, slot, value, *gbk).empty()) return slot;
    }
    std::copy(block.begin(), block.end(), program.begin() + static_cast<ptrdiff_t>(location.fileOffset));
    pe::UpdateChecksum(program);
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(program.data()), static_cast<std::streamsize>(program.size()));
    return out ? "" : "write";
}

struct BoxSeen {
    std::wstring caption;
    std::wstring text;
};

struct RunResult {
    bool ended = false;
    DWORD exitCode = 0;
    std::vector<BoxSeen> boxes;
    bool sawLoginFace = false;
};

inline DWORD WindowProcessId(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner;
}

// The first top-level window of the process that `match` accepts.
inline HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& match) {
    struct Find {
        DWORD processId;
        const std::function<bool(HWND)>* match;
        HWND found = nullptr;
    } find{processId, &match};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* f = reinterpret_cast<Find*>(param);
            if (WindowProcessId(window) != f->processId || !(*f->match)(window)) return TRUE;
            f->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// The main frame: a top-level dialog of the process that holds the boss
// button (1001).
inline HWND FindFrame(DWORD processId) {
    return FindProcessWindow(processId, [](HWND window) { return GetDlgItem(window, 1001) != nullptr; });
}

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A skinned message box: a visible dialog with the button 5000.
inline HWND FindBox(DWORD processId) {
    return FindProcessWindow(processId, [](HWND window) {
        return IsWindowVisible(window) && ClassOf(window) == L"#32770" && GetDlgItem(window, 5000) != nullptr;
    });
}

inline std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// The label of the skinned box's button that gives `result`.
inline std::wstring LabelOf(int result) {
    switch (result) {
        case IDYES: return L"是";
        case IDNO: return L"否";
        case IDCANCEL: return L"取消";
        default: return L"确定";
    }
}

inline HWND ButtonLabelled(HWND box, const std::wstring& label) {
    for (int id : {5000, 5001}) {
        const HWND button = GetDlgItem(box, id);
        if (button != nullptr && WindowText(button) == label) return button;
    }
    return nullptr;
}

// Starts the program and answers every box it shows with `answer` (IDOK,
// IDYES, IDNO, ...), which receives what the box said. Once the login face
// is up, `atLoginFace` runs and the login page's close request is sent.
// `everyPoll` sees the process id at each look at its windows.
inline RunResult RunClient(const std::wstring& exe, const std::wstring& args,
                           const std::function<int(const BoxSeen&)>& answer = nullptr,
                           const std::function<void()>& atLoginFace = nullptr,
                           const std::function<void(DWORD processId)>& everyPoll = nullptr) {
    RunResult result;
    std::wstring commandLine = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder(exe).c_str(),
                        &startup, &process)) {
        return result;
    }
    const DWORD start = GetTickCount();
    HWND answered = nullptr;
    while (GetTickCount() - start < kStartTimeoutMs) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            result.ended = true;
            break;
        }
        if (everyPoll) everyPoll(process.dwProcessId);
        // A start that reaches the login face runs until the user leaves:
        // the login page's close request with no game page open ends it.
        const HWND frame = FindFrame(process.dwProcessId);
        if (frame != nullptr && IsWindowVisible(frame) && !result.sawLoginFace) {
            result.sawLoginFace = true;
            if (atLoginFace) atLoginFace();
            PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 7251);
        }
        const HWND box = FindBox(process.dwProcessId);
        if (box == nullptr || box == answered) continue;
        // The box's text is the hidden static control 0xFFFF.
        BoxSeen seen{WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))};
        // A user answers by the button's label; a box without it stays unanswered.
        const HWND button = ButtonLabelled(box, LabelOf(answer ? answer(seen) : IDOK));
        if (button == nullptr) continue;
        result.boxes.push_back(seen);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        answered = box;
    }
    if (!result.ended) TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace e2e
