#pragma once

#include <windows.h>

class CWnd;

// The application object: one per process, constructed as a static object so
// that the entry point finds it, as in the framework the client was designed on.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Does the work of the process; a dialog-based program runs its main
    // dialog from here and returns FALSE so that no message pump follows.
    virtual BOOL InitInstance();
    // The process's exit code.
    virtual int ExitInstance();

    // Called by the entry point.
    int Run(HINSTANCE instance, LPWSTR commandLine, int showCommand);

    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    // The main window: the default owner of dialogs run without a parent.
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
