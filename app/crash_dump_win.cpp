#include "app/crash_dump_win.h"

#include <dbghelp.h>

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

// Lives as long as the process: the filter may run during its very end.
CCrashDumper& ProcessDumper() {
    static CCrashDumper dumper(ModulePath(), &WriteDump);
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

LONG CCrashDumper::Filter(EXCEPTION_POINTERS* pointers) {
    if (m_taken.exchange(true)) return EXCEPTION_EXECUTE_HANDLER;
    const std::wstring dumpPath = DumpPathFor(m_programPath);
    if (dumpPath.empty()) {
        // No dump was written: a later crash may still try.
        m_taken = false;
        return EXCEPTION_CONTINUE_SEARCH;
    }
    fw::ScopedKernelHandle file(
        CreateFileW(dumpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) m_writer(file.Get(), pointers);
    return EXCEPTION_CONTINUE_SEARCH;
}

void InstallCrashDumpFilter() {
    // The program's path is taken now, not in a crashing process.
    ProcessDumper();
    SetUnhandledExceptionFilter(&ProcessCrashFilter);
}
