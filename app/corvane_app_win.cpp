#include "app/corvane_app_win.h"

#include "app/ctrl_block.h"

CCorvane3App theApp;

BOOL CCorvane3App::InitInstance() {
    m_title = TheCtrlBlock().TitleName();
    // The start-up roads (install, uninstall, main frame) hang off here.
    return FALSE;
}

int CCorvane3App::ExitInstance() { return CWinApp::ExitInstance(); }
