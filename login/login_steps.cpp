#include "login/login_steps.h"

bool AsksBeforeExit(uint32_t buildFlags) { return (buildFlags & kAskBeforeExitFlag) != 0; }

ExitGameSteps StepsOfExitGame(uint32_t buildFlags, bool answeredYes) {
    ExitGameSteps steps;
    if (!AsksBeforeExit(buildFlags)) {
        steps.postCloseRequest = true;
        return steps;
    }
    if (!answeredYes) return steps;
    steps.openExitPage = (buildFlags & kExitPageFlag) != 0;
    steps.postCloseRequest = true;
    return steps;
}

MinimizeAction ChooseMinimize(int openPageCount, bool userAccountControlOn) {
    if (openPageCount > 0) return MinimizeAction::CloseRequest;
    return userAccountControlOn ? MinimizeAction::MinimizeBackground : MinimizeAction::MinimizeFrame;
}

bool IsUserAccountControlOn(unsigned windowsMajorVersion, std::optional<uint32_t> enableLua) {
    return windowsMajorVersion > 5 && enableLua == 1u;
}
