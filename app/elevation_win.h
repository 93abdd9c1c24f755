#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Per-machine work (install, uninstall, replacing the installed program)
// needs an administrator's token. The user's own process never runs
// elevated: it hands that work to an elevated copy of this program, started
// with a switch of our own, and waits for it.

// True when this process's token is elevated (or UAC is off and the user is
// an administrator). False when the token cannot be read.
bool IsProcessElevated();

enum class ElevatedRun {
    Done,     // the copy ran and ended; its exit code is delivered
    Refused,  // the user declined the elevation prompt
    Failed,   // the copy could not start, or did not end within the bound
};

// Long enough for the slowest install on a busy machine; a copy that hangs
// must still not hold the user's process for ever.
inline constexpr DWORD kElevatedCopyWaitMs = 5 * 60 * 1000;

// Starts this program's own file again with the "runas" verb and
// `parameters` (the switch of the work to do and its arguments), then waits
// for it to end, at most `waitMs`. `owner` (may be null) owns the prompt.
// Call it from a thread that may block: it pumps no messages.
ElevatedRun RunElevatedCopy(const std::wstring& parameters, DWORD& exitCode, HWND owner = nullptr,
                            DWORD waitMs = kElevatedCopyWaitMs);

// The same for the program file at `program` (a copy of this one).
ElevatedRun RunElevatedProgram(const std::wstring& program, const std::wstring& parameters, DWORD& exitCode,
                               HWND owner = nullptr, DWORD waitMs = kElevatedCopyWaitMs);

// The two answers the per-machine roads depend on, as a seam: Wine runs
// everything elevated and has no prompt to refuse.
class IElevation {
public:
    virtual ~IElevation() = default;
    virtual bool IsElevated() const = 0;
    virtual ElevatedRun RunElevated(const std::wstring& program, const std::wstring& parameters, DWORD& exitCode) = 0;
};

// IsProcessElevated and RunElevatedProgram.
IElevation& SystemElevation();

enum class MachineWork {
    DoneHere,      // this process was elevated and did the work itself
    DoneElevated,  // an elevated copy did it and ended with exit code 0
    Refused,       // the user declined the prompt: nothing was done
    Failed,        // the copy could not start, or reported a failure
};

// Per-machine work: `here` in this process when it is elevated (true when
// the work succeeded), else in the elevated `program` (this one or a copy of
// it) started with `parameters`.
MachineWork RunMachineWork(IElevation& elevation, const std::wstring& program, const std::wstring& parameters,
                           const std::function<bool()>& here);
