#pragma once

#include <windows.h>

#include <atomic>
#include <string>

// Minidumps of a crashing client, written beside the program for later
// analysis. DbgHelp is loaded only when a dump is written.

// Writes a dump of this process into `file`, trying the richer dump types
// first for DbgHelp versions that refuse them. Without exception pointers the
// dump shows the calling thread where it is. False when DbgHelp is missing or
// every type failed.
bool WriteDump(HANDLE file, EXCEPTION_POINTERS* pointers);

// The crash filter's state: at most one dump per process. The flag is taken
// before the dump is written, so a crash inside the writer (or a second
// thread crashing meanwhile) ends the process instead of coming back here.
class CCrashDumper {
public:
    using Writer = bool (*)(HANDLE file, EXCEPTION_POINTERS* pointers);

    CCrashDumper(std::wstring programPath, Writer writer) : m_programPath(std::move(programPath)), m_writer(writer) {}
    CCrashDumper(const CCrashDumper&) = delete;
    CCrashDumper& operator=(const CCrashDumper&) = delete;

    // EXCEPTION_EXECUTE_HANDLER once a dump was taken (the process ends at
    // once); otherwise EXCEPTION_CONTINUE_SEARCH, after writing the dump, so
    // that the system's own crash handling follows.
    LONG Filter(EXCEPTION_POINTERS* pointers);

private:
    std::wstring m_programPath;
    Writer m_writer;
    std::atomic<bool> m_taken{false};
};

// Installs the process's top-level filter over one CCrashDumper for the
// running program.
void InstallCrashDumpFilter();
