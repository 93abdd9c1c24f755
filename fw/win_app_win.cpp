#include "fw/win_app_win.h"

#include "fw/wnd_win.h"

namespace {

// The one process-wide application object, registered by its constructor.
CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run(HINSTANCE instance, LPWSTR commandLine, int showCommand) {
    m_hInstance = instance;
    m_lpCmdLine = commandLine;
    m_nCmdShow = showCommand;
    if (!InitInstance()) return ExitInstance();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (fw::PreTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ExitInstance();
    return static_cast<int>(msg.wParam);
}

CWinApp* AfxGetApp() { return g_app; }
