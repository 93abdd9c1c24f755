#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "app/elevation_win.h"

namespace {

// Started again by RunElevatedCopy, this program answers with its token's
// elevation before any test runs: 71 elevated, 70 not.
const bool g_probe = [] {
    const wchar_t* line = GetCommandLineW();
    if (std::wcsstr(line, L"/elevation-probe") != nullptr) ExitProcess(IsProcessElevated() ? 71 : 70);
    return false;
}();

TEST(ElevationWinTest, TheCopyRunsThisProgramWithTheParametersAndIsWaitedFor) {
    DWORD exitCode = 0;
    ASSERT_EQ(RunElevatedCopy(L"/elevation-probe", exitCode), ElevatedRun::Done);
    // Wine grants every "runas" start the caller's token, which for a test
    // is an administrator's.
    EXPECT_EQ(exitCode, IsProcessElevated() ? 71u : 70u);
    // A copy that outlives its bound is a failure, not a success.
    EXPECT_EQ(RunElevatedCopy(L"/elevation-probe", exitCode, nullptr, 0), ElevatedRun::Failed);
}

class CFakeElevation final : public IElevation {
public:
    CFakeElevation(bool elevated, ElevatedRun answer, DWORD exitCode)
        : m_elevated(elevated), m_answer(answer), m_exitCode(exitCode) {}
    bool IsElevated() const override { return m_elevated; }
    ElevatedRun RunElevated(const std::wstring& program, const std::wstring& parameters, DWORD& exitCode) override {
        m_parameters = program + L" " + parameters;
        exitCode = m_exitCode;
        return m_answer;
    }
    std::wstring m_parameters = L"<not started>";

private:
    bool m_elevated;
    ElevatedRun m_answer;
    DWORD m_exitCode;
};

TEST(ElevationWinTest, TheWorkRunsHereOnlyWhenElevatedAndOtherwiseInTheCopy) {
    const struct {
        const char* what;
        bool elevated;
        bool hereSucceeds;
        ElevatedRun answer;
        DWORD copyExit;
        MachineWork result;
        bool ranHere, copyStarted;
    } cases[] = {
        {"elevated", true, true, ElevatedRun::Done, 0, MachineWork::DoneHere, true, false},
        {"elevated, the work fails", true, false, ElevatedRun::Done, 0, MachineWork::Failed, true, false},
        {"not elevated, granted", false, true, ElevatedRun::Done, 0, MachineWork::DoneElevated, false, true},
        {"not elevated, the copy fails", false, true, ElevatedRun::Done, 1, MachineWork::Failed, false, true},
        {"not elevated, refused", false, true, ElevatedRun::Refused, 0, MachineWork::Refused, false, true},
        {"not elevated, no copy", false, true, ElevatedRun::Failed, 0, MachineWork::Failed, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CFakeElevation elevation(c.elevated, c.answer, c.copyExit);
        bool ranHere = false;
        EXPECT_EQ(RunMachineWork(elevation, L"C:\\p.exe", L"/switch 1", [&] { ranHere = true; return c.hereSucceeds; }),
                  c.result);
        EXPECT_EQ(ranHere, c.ranHere);
        EXPECT_EQ(elevation.m_parameters, c.copyStarted ? L"C:\\p.exe /switch 1" : L"<not started>");
    }
}

}  // namespace
