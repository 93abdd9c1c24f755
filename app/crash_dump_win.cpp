#include "app/crash_dump_win.h"

#include <dbghelp.h>
#include <shlobj.h>

#include "app/access_rights_win.h"
#include "app/dump_path.h"
#include "app/ini_win.h"
#include "fw/handles_win.h"
#include "fw/system_library_win.h"

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

constexpr MINIDUMP_TYPE kDumpTypes[] = {
    static_cast<MINIDUMP_TYPE>(MiniDumpWithDataSegs | MiniDumpWithHandleData | MiniDumpWithUnloadedModules |
                               MiniDumpWithPrivateReadWriteMemory | MiniDumpWithFullMemoryInfo |
                               MiniDumpWithThreadInfo),
    static_cast<MINIDUMP_TYPE>(MiniDumpWithDataSegs | MiniDumpWithHandleData | MiniDumpWithUnloadedModules |
                               MiniDumpWithPrivateReadWriteMemory),
    MiniDumpNormal,
};

std::wstring DumpPathForRunningProgram() {
    const std::wstring folder = CrashDumpFolder();
    const std::wstring program = ModulePath();
    const size_t slash = program.find_last_of(L"\\/");
    if (folder.empty() || program.empty()) return {};
    return DumpPathFor(folder + L"\\" + program.substr(slash == std::wstring::npos ? 0 : slash + 1));
}

// Lives as long as the process: the filter may run during its very end.
CCrashDumper& ProcessDumper() {
    static CCurrentUserOnly security;
    static CCrashDumper dumper(DumpPathForRunningProgram(), &WriteDump, security.Attributes());
    return dumper;
}

LONG WINAPI ProcessCrashFilter(EXCEPTION_POINTERS* pointers) { return ProcessDumper().Filter(pointers); }

}  // namespace

bool WriteDump(HANDLE file, EXCEPTION_POINTERS* pointers) {
    // Without pointers: the state of this thread here, as a breakpoint
    // exception at this point would have reported it.
    CONTEXT context{};
    EXCEPTION_RECORD record{};
    EXCEPTION_POINTERS here{&record, &context};
    if (pointers == nullptr) {
        RtlCaptureContext(&context);
        record.ExceptionCode = EXCEPTION_BREAKPOINT;
#if defined(_M_X64) || defined(__x86_64__)
        record.ExceptionAddress = reinterpret_cast<void*>(context.Rip);
#else
        record.ExceptionAddress = reinterpret_cast<void*>(context.Eip);
#endif
        pointers = &here;
    }

    // From the system folder: a DbgHelp.dll lying beside a downloaded
    // program must not be loaded into the crashing client.
    const fw::ScopedModule dbghelp = fw::LoadSystemLibrary(L"dbghelp.dll");
    const auto writeDump = fw::SystemFunction<MiniDumpWriteDumpFn>(dbghelp, "MiniDumpWriteDump");
    if (writeDump == nullptr) return false;

    MINIDUMP_EXCEPTION_INFORMATION info{GetCurrentThreadId(), pointers, TRUE};
    for (MINIDUMP_TYPE type : kDumpTypes) {
        if (writeDump(GetCurrentProcess(), GetCurrentProcessId(), file, type, &info, nullptr, nullptr)) return true;
        // A refused type may have left part of a dump behind.
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
    }
    return false;
}

CCrashDumper::CCrashDumper(std::wstring dumpPath, Writer writer, SECURITY_ATTRIBUTES* security)
    : m_dumpPath(std::move(dumpPath)),
      m_writer(writer),
      m_security(security),
      m_written(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

LONG CCrashDumper::Filter(EXCEPTION_POINTERS* pointers) {
    if (m_dumpPath.empty()) return EXCEPTION_CONTINUE_SEARCH;
    const DWORD self = GetCurrentThreadId();
    DWORD writer = 0;
    if (!m_writerThread.compare_exchange_strong(writer, self)) {
        if (writer != self && m_written) WaitForSingleObject(m_written.Get(), kOtherCrashWaitMs);
        return EXCEPTION_EXECUTE_HANDLER;
    }
    {
        // An older dump kept its own rights when overwritten: it goes first,
        // so that the new file takes the rights given.
        DeleteFileW(m_dumpPath.c_str());
        fw::ScopedKernelHandle file(CreateFileW(m_dumpPath.c_str(), GENERIC_WRITE, 0, m_security, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) m_writer(file.Get(), pointers);
    }
    if (m_written) SetEvent(m_written.Get());
    return EXCEPTION_CONTINUE_SEARCH;
}

std::wstring CrashDumpFolder() {
    wchar_t local[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local))) {
        return {};
    }
    const std::wstring maker = std::wstring(local) + L"\\7251";
    const std::wstring folder = maker + L"\\GameLogin";
    CreateDirectoryW(maker.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? folder
                                                                                                : std::wstring{};
}

void InstallCrashDumpFilter() {
    // The dump's path and rights are made now, not in a crashing process.
    ProcessDumper();
    SetUnhandledExceptionFilter(&ProcessCrashFilter);
}
