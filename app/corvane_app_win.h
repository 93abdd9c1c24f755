#pragma once

#include <string>

#include "fw/win_app_win.h"

class CCorvane3App : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    std::wstring m_title;  // the build's TitleName, caption of every box and window
};
