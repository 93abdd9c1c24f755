#include <gtest/gtest.h>

#include <vector>

#include "app/start_mode.h"

namespace {

const std::wstring kCommonAppData = L"C:\\ProgramData";
const std::wstring kInstalled = L"C:\\ProgramData\\7251\\GameLogin\\Doln2.exe";
const std::wstring kElsewhere = L"C:\\Users\\me\\Downloads\\Doln2.exe";

StartRequest Decide(std::vector<std::wstring> args, const std::wstring& exe = kElsewhere) {
    args.insert(args.begin(), exe);
    return DecideStartMode(args, L"/Doln2D", exe, kCommonAppData);
}

TEST(StartMode, FirstArgumentSelectsTheMode) {
    const struct {
        std::vector<std::wstring> args;
        std::wstring exe;
        StartMode mode;
    } cases[] = {
        {{L"/web7251D"}, kElsewhere, StartMode::WebStart},
        {{L"/WEB7251d"}, kInstalled, StartMode::WebStart},
        {{L"/Doln2D"}, kElsewhere, StartMode::ShortcutStart},
        {{L"/doln2d"}, kElsewhere, StartMode::ShortcutStart},
        {{L"/uninst"}, kElsewhere, StartMode::UninstallStart},
        {{L"/UNINST"}, kInstalled, StartMode::UninstallStart},
        {{L"/UnInst"}, kElsewhere, StartMode::UninstallStart},
        {{L"/update"}, kElsewhere, StartMode::UpdateStart},
        {{L"/newgm", L"h123", L"http://g/x"}, kElsewhere, StartMode::NewGameStart},
        {{L"/GMHALL", L"h1"}, kElsewhere, StartMode::HallStart},
        {{L"/logo"}, kElsewhere, StartMode::LogoStart},
        // Only the first argument counts.
        {{L"/whatever", L"/uninst"}, kElsewhere, StartMode::FirstRun},
        {{L"/unknown"}, kInstalled, StartMode::InstalledStart},
        {{L"/uninstall"}, kElsewhere, StartMode::FirstRun},
        {{L""}, kInstalled, StartMode::InstalledStart},
        {{}, kInstalled, StartMode::InstalledStart},
        {{}, kElsewhere, StartMode::FirstRun},
        {{}, L"c:\\programdata\\7251\\gamelogin\\Doln2.exe", StartMode::InstalledStart},
        {{}, L"D:\\copy of C:\\ProgramData\\7251\\GameLogin\\x.exe", StartMode::InstalledStart},
        {{}, L"C:\\ProgramData\\7251\\Doln2.exe", StartMode::FirstRun},
    };
    for (const auto& c : cases) {
        const std::wstring first = c.args.empty() ? L"(none)" : c.args[0];
        EXPECT_EQ(Decide(c.args, c.exe).mode, c.mode) << std::string(first.begin(), first.end());
    }
}

TEST(StartMode, AnEmptyLaunchSwitchMatchesNothing) {
    const std::vector<std::wstring> args = {kElsewhere, L""};
    EXPECT_EQ(DecideStartMode(args, L"", kElsewhere, kCommonAppData).mode, StartMode::FirstRun);
}

TEST(StartMode, NoCommonFolderMeansNotInstalled) {
    EXPECT_FALSE(IsInInstallFolder(kInstalled, L""));
    EXPECT_TRUE(IsInInstallFolder(kInstalled, kCommonAppData));
}

TEST(StartMode, HallArguments) {
    const struct {
        std::vector<std::wstring> args;
        intptr_t window;
        std::wstring address;
    } cases[] = {
        {{L"/newgm", L"h65802", L"http://game/play?s=1"}, 65802, L"http://game/play?s=1"},
        {{L"/gmhall", L"x1234", L"ignored"}, 1234, L""},
        {{L"/newgm"}, 0, L""},  // missing arguments read as empty
        {{L"/newgm", L"h77"}, 77, L""},
        {{L"/newgm", L""}, 0, L""},
        // Cut to the 15-character buffer: "h" and 14 digits.
        {{L"/gmhall", L"h00000000001234567"}, 1234, L""},
        {{L"/newgm", L"h1", std::wstring(3000, L'a')}, 1, std::wstring(2047, L'a')},
    };
    for (const auto& c : cases) {
        const StartRequest request = Decide(c.args);
        EXPECT_EQ(request.hallWindow, c.window) << c.args.size();
        EXPECT_EQ(request.gameAddress, c.address) << c.args.size();
    }
}

}  // namespace
