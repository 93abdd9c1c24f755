#pragma once

#include <span>
#include <string>

class CPrgsDlg;

// The "/update" start's work, before the client opens: true when the new
// program is in place and started, and this process should end. Otherwise
// the installed program is as it was, the user has been told once that the
// update failed, and the old client goes on.
bool RunUpdateStart(CPrgsDlg& dialog, const std::wstring& title);

// The elevated copy started with the replace switch; `arguments` follow the
// switch. Its exit code: 0 when the program was replaced, else 1.
int RunElevatedReplaceStart(std::span<const std::wstring> arguments);

// Removes the program that an update renamed aside. Its process may still
// be ending when the new one starts, so a worker tries for a few seconds.
void RemoveUpdateLeftovers();
