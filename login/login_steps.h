#pragma once

#include <cstdint>
#include <optional>

// The choices behind "exitgame" and "minimize", apart from the windows they
// act on.

// BuildFlags bits: ask "确定要取消本次登录吗？" before leaving, and open the
// build's exit page after a yes.
inline constexpr uint32_t kAskBeforeExitFlag = 0x40;
inline constexpr uint32_t kExitPageFlag = 0x200;

struct ExitGameSteps {
    bool openExitPage = false;
    bool postCloseRequest = false;  // SC_CLOSE with the login close marker to the main frame
};

// Whether "exitgame" asks first.
bool AsksBeforeExit(uint32_t buildFlags);

// What follows the question (`answeredYes` is read only when the build asks):
// without the question the close request alone; after a yes the exit page
// (if the build has one) and the close request; after anything else
// nothing. The event beacon 115 is sent in every case.
ExitGameSteps StepsOfExitGame(uint32_t buildFlags, bool answeredYes);

enum class MinimizeAction {
    CloseRequest,        // a game page is open: the main frame hides the login window
    MinimizeBackground,  // user account control on: minimise the login background
    MinimizeFrame,       // otherwise the main frame
};

MinimizeAction ChooseMinimize(int openPageCount, bool userAccountControlOn);

// On with a Windows major version above 5 and the policy value "EnableLUA"
// reading 1; a value that could not be read (nothing) counts as off.
bool IsUserAccountControlOn(unsigned windowsMajorVersion, std::optional<uint32_t> enableLua);
