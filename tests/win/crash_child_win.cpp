// Crashes on purpose with the client's crash filter installed, for the crash
// dump test.
#include <windows.h>

#include "app/crash_dump_win.h"

int wmain() {
    // No system crash box: the test waits for this process to end.
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    InstallCrashDumpFilter();
    volatile int* nowhere = nullptr;
    *nowhere = 7251;
    return 0;
}
