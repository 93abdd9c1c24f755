#include <windows.h>

#include "fw/win_app_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return -1;
    // No exception of ours is meant to leave the application object; if a
    // library throws, end with a failure code instead of an abort dialog.
    try {
        return app->Run(instance, commandLine, showCommand);
    } catch (...) {
        return -1;
    }
}
