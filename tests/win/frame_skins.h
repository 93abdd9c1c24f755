#pragma once

// The skin each of the main frame's controls shows when nothing hovers,
// presses or mutes it: frame 0 of the strip, its corner at (x, y) of the
// control. The frame's own tests print the controls; the demo's tour
// compares them on the screen.

#include "browser/tab_strip.h"
#include "res/resource.h"

namespace wintest {

struct ControlSkin {
    int id;
    unsigned image;
    int frames;
    int x = 0;
    int y = 0;
};

inline constexpr ControlSkin kFrameControlSkins[] = {
    {tabs::id::kBoss, IDP_BOSS, 4},
    {tabs::id::kToolMenu, IDP_TOOL_MENU, 4},
    {tabs::id::kSound, IDP_SOUND_ON, 4},
    {tabs::id::kNewPage, IDP_NEW_PAGE, 4},
    {tabs::id::kRefresh, IDP_REFRESH, 4},
    {tabs::id::kScreenshot, IDP_SCREENSHOT, 4},
    {tabs::id::kService, IDP_SERVICE, 4},
    {tabs::id::kNoviceCard, IDP_NOVICE, 4},
    {tabs::id::kPay, IDP_PAY, 4},
    {tabs::id::kMessages, IDP_MESSAGES, 4},
    // The label's image sits 3 pixels in, beside its text.
    {tabs::id::kAccountLabel, IDP_ACCOUNT, 1, 3, 0},
};

}  // namespace wintest
