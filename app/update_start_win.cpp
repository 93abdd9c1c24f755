#include "app/update_start_win.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "app/ctrl_block.h"
#include "app/elevation_win.h"
#include "app/fresh_program_start_win.h"
#include "app/ini_win.h"
#include "app/message_box_win.h"
#include "app/settings_store_win.h"
#include "app/start_mode.h"
#include "app/update_apply.h"
#include "base/utf8.h"
#include "app/update_signature_win.h"
#include "fw/handles_win.h"
#include "net/sock_down_file.h"
#include "net/update_check_win.h"
#include "net/update_dialog_win.h"
#include "net/work_file.h"

namespace {

constexpr wchar_t kUpdateFailedText[] = L"更新失败，将继续使用当前版本。";
// The portal answers the description like the icon description: a slow
// line gets this long for each receive.
constexpr unsigned kDescriptionReceiveMs = 3000;
constexpr int kLeftoverTries = 20;
constexpr DWORD kLeftoverPauseMs = 500;


std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    return n == 0 || n > MAX_PATH ? std::wstring() : std::wstring(folder, n);
}

// Quoted for the elevated copy's command line; the arguments hold no quote.
std::wstring ElevatedParameters(const std::vector<std::wstring>& arguments) {
    std::wstring parameters = kReplaceSwitch;
    for (const auto& argument : arguments) parameters += L" \"" + argument + L"\"";
    return parameters;
}

class CCngSignatureVerifier final : public UpdateSignatureVerifier {
public:
    bool Verify(const std::vector<unsigned char>& spki, const std::vector<unsigned char>& signature,
                const unsigned char* data, size_t size) const override {
        return VerifyP256Signature(spki, signature, data, size);
    }
};

class CWinUpdateHost final : public IUpdateHost {
public:
    explicit CWinUpdateHost(CPrgsDlg* dialog) : m_dialog(dialog) {}

    std::string FetchText(const std::wstring& address) override {
        CSockDownFile client;
        client.SetReceiveLimit(kDescriptionReceiveMs);
        return client.HttpGetText(address);
    }

    bool Download(const std::wstring& address, const std::wstring& destination, uint64_t sizeLimit) override {
        if (m_dialog == nullptr) return false;
        m_dialog->m_strAddress = address;
        m_dialog->m_strDestination = destination;
        m_dialog->m_nSizeLimit = sizeLimit;
        return m_dialog->DoModal() == IDOK;
    }

    bool ReadFile(const std::wstring& path, uint64_t limit, std::vector<unsigned char>& bytes) override {
        bytes.clear();
        const UniqueFile file = OpenDenyWrite(path, "rb");
        if (!file) return false;
        const int64_t size = FileSize(file.get());
        if (size < 0) return false;
        // One byte past the limit is enough to show the file is too long.
        const uint64_t keep = static_cast<uint64_t>(size) > limit ? limit + 1 : static_cast<uint64_t>(size);
        bytes.resize(static_cast<size_t>(keep));
        return std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    }

    bool WriteFile(const std::wstring& path, const std::vector<unsigned char>& bytes) override {
        const std::wstring temporary = path + L".tmp";
        bool written = false;
        {
            const UniqueFile file = OpenDenyWrite(temporary, "wb");
            written = file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                      std::fflush(file.get()) == 0;
        }
        if (written && MoveReplacing(temporary, path)) return true;
        DeleteFileW(temporary.c_str());
        return false;
    }

    void RemoveFile(const std::wstring& path) override { DeleteFileW(path.c_str()); }

    bool MoveFile(const std::wstring& from, const std::wstring& to) override { return MoveReplacing(from, to); }

    bool CanWriteFolder(const std::wstring& folder) override {
        // Tried rather than read from the folder's rights: what counts is
        // what this token may do there, virtualisation and all.
        const std::wstring probe = folder + L"~update-probe.tmp";
        const fw::ScopedKernelHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return file.IsValid();
    }

    bool ReplaceElevated(const std::vector<std::wstring>& arguments) override {
        DWORD exitCode = 1;
        const HWND owner = m_dialog != nullptr ? m_dialog->m_hWnd : nullptr;
        return RunElevatedCopy(ElevatedParameters(arguments), exitCode, owner) == ElevatedRun::Done && exitCode == 0;
    }

    bool StartProgram(const std::wstring& program) override {
        // As an installed start: inside the install folder no argument says
        // so; elsewhere that would be a first run, and the launch switch
        // gives the same start.
        std::wstring commandLine = L"\"" + program + L"\"";
        if (!IsInInstallFolder(program, CommonAppDataFolder())) commandLine += L" " + TheCtrlBlock().LaunchSwitch();
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        // The "/update" start runs at idle priority; without a class of its
        // own the new client would inherit that for good.
        return StartFreshProgram(program, std::move(commandLine), NORMAL_PRIORITY_CLASS, startup);
    }

private:
    CPrgsDlg* m_dialog;
};

UpdateContext RunningContext() {
    const CCtrlBlock& block = TheCtrlBlock();
    UpdateContext context;
    context.running = IdentityOf(block);
    context.updateKey = WideToUtf8(block.UpdateKey());
    context.domains = block.UpdateDomains();
    context.descriptionAddress =
        UpdateInfoAddress(block.PortalHost(), block.GameCode(), block.Aid(), block.ClientVersion());
    context.program = ModulePath();
    context.tempFolder = TempFolder();
    return context;
}

DWORD WINAPI RemoveLeftoversThread(LPVOID) {
    const std::wstring aside = UpdateAsidePath(ModulePath());
    for (int i = 0; i < kLeftoverTries; ++i) {
        if (DeleteFileW(aside.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return 0;
        Sleep(kLeftoverPauseMs);
    }
    return 0;
}

}  // namespace

bool RunUpdateStart(CPrgsDlg& dialog, const std::wstring& title) {
    CWinUpdateHost host(&dialog);
    const CCngSignatureVerifier verifier;
    const UpdateOutcome outcome = RunUpdate(RunningContext(), host, verifier);
    if (outcome == UpdateOutcome::Replaced) return true;
    // The restart for the update asked for idle priority, for the download;
    // the client that follows runs as any other start does.
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    if (outcome == UpdateOutcome::Failed) ShowMessageBox(0, title, kUpdateFailedText);
    return false;
}

int RunElevatedReplaceStart(std::span<const std::wstring> arguments) {
    CWinUpdateHost host(nullptr);
    const CCngSignatureVerifier verifier;
    return RunElevatedReplace(arguments, RunningContext(), host, verifier) ? 0 : 1;
}

void RemoveUpdateLeftovers() {
    // Nothing to do in nearly every start: no thread for it.
    if (GetFileAttributesW(UpdateAsidePath(ModulePath()).c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const fw::ScopedKernelHandle thread(CreateThread(nullptr, 0, RemoveLeftoversThread, nullptr, 0, nullptr));
}
