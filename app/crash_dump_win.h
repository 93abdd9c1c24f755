#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "fw/handles_win.h"

// Minidumps of a crashing client, kept for later analysis. DbgHelp is loaded only when a dump is written.

// Writes a dump of this process into `file`, trying the richer dump types
// first for DbgHelp versions that refuse them. Without exception pointers the
// dump shows the calling thread where it is. False when DbgHelp is missing or
// every type failed.
bool WriteDump(HANDLE file, EXCEPTION_POINTERS* pointers);

// The crash filter's state: at most one dump per process. Everything the
// filter needs (the dump's path, its rights, the event a second crash waits
// on) is made when the filter is installed, while the process is sound.
class CCrashDumper {
public:
    using Writer = bool (*)(HANDLE file, EXCEPTION_POINTERS* pointers);

    // No dump is written when `dumpPath` is empty. `security` (may be
    // null) is the dump file's, and must outlive the dumper.
    CCrashDumper(std::wstring dumpPath, Writer writer, SECURITY_ATTRIBUTES* security = nullptr);
    CCrashDumper(const CCrashDumper&) = delete;
    CCrashDumper& operator=(const CCrashDumper&) = delete;

    // The first crash writes the dump and answers EXCEPTION_CONTINUE_SEARCH,
    // so that the system's own crash handling follows. A later crash answers
    // EXCEPTION_EXECUTE_HANDLER (the process ends at once); one on another
    // thread while the dump is being written first waits for the dump, or
    // the process would end with half of it. A crash inside the writer
    // itself does not wait for itself.
    LONG Filter(EXCEPTION_POINTERS* pointers);

private:
    std::wstring m_dumpPath;
    Writer m_writer;
    SECURITY_ATTRIBUTES* m_security;
    std::atomic<DWORD> m_writerThread{0};
    fw::ScopedKernelHandle m_written;  // manual-reset: set once the dump is closed
};

// How long a second crashing thread waits for the first one's dump: a full
// dump of a large client takes seconds; a writer that hangs must not keep a
// dead process alive for ever.
inline constexpr DWORD kOtherCrashWaitMs = 2 * 60 * 1000;

// Where this user's crash dumps go: the user's own local application-data
// folder + "\7251\GameLogin", which other users cannot read (a dump holds
// the login cookie); made if missing. Empty when there is none.
std::wstring CrashDumpFolder();

// Installs the process's top-level filter over one CCrashDumper for the
// running program: its dump is that folder + the program's name with ".dmp",
// readable by the current user only.
void InstallCrashDumpFilter();
