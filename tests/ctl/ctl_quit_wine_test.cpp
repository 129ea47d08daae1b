// korvalenctl quit-panel against the running program: whatever the panel is doing, it ends
// without a window of the tool's or any message that waits for a person.
#include "tests/app/startup_fixture.h"
#include "tests/ctl/ctl_fixture.h"

using namespace startuptest;
using namespace testsupport;
using namespace settingstest;

namespace {

void ExpectQuitPanelEnds(const Program& program) {
    const ctltest::ToolRun run = ctltest::RunTool("quit-panel");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_FALSE(program.Running()) << "the tool ended before the panel";
    EXPECT_EQ(program.ExitCode(0ms), 0u);
    EXPECT_EQ(PanelWindow(), nullptr);
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); }));
}

}  // namespace

TEST_F(Startup, QuitPanelEndsAPanelNeverShownShownOrHiddenAgain) {
    for (const PanelState state : kEveryPanelState) {
        SCOPED_TRACE(static_cast<int>(state));
        Program program;
        HWND panel = StartRunning(program);
        ASSERT_NE(panel, nullptr);
        BringPanelTo(panel, state);
        ExpectQuitPanelEnds(program);
    }
}

TEST_F(Startup, QuitPanelEndsThePanelWithTheRefusedEnableMessageUp) {
    KorvalenSimScenario scenario = sim::DefaultScenario();
    ASSERT_EQ(sim::ApplySetOptions({"--status", "0x0,0x0", "--enable-answer", "1"}, scenario), "");
    ASSERT_TRUE(sim::SetScenario(scenario));
    Program program;
    HWND panel = StartRunning(program);
    ASSERT_NE(panel, nullptr);
    PostMessageA(panel, kTrayCallback, 0, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }));
    PostMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(163, 211));  // Enable
    PostMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(163, 211));
    ASSERT_TRUE(WaitUntil([&] { return ShownWindowOf("TfrmMessageBox", program.Id()); }));
    ExpectQuitPanelEnds(program);
}

// Still starting: the start-time disable's message is up and no panel window exists yet
// ("-Q" then finds no panel and says that it is already started).
TEST_F(Startup, QuitPanelEndsAPanelStillStarting) {
    KorvalenSimScenario scenario = sim::DefaultScenario();
    ASSERT_EQ(sim::ApplySetOptions({"--disable-answer", "255"}, scenario), "");
    ASSERT_TRUE(sim::SetScenario(scenario));
    PutText(HKEY_CURRENT_USER, kGeneral, "Settings", "1");
    PutText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, "C:\\elsewhere\\panel.exe");
    Program program;
    ASSERT_TRUE(WaitUntil([&] { return ShownWindowOf("TfrmMessageBox", program.Id()); }));
    ASSERT_EQ(PanelWindow(), nullptr);
    ExpectQuitPanelEnds(program);
}

TEST_F(Startup, QuitPanelWithNoPanelEndsAtOnceAndOneThatStaysIsReported) {
    ctltest::ToolRun run = ctltest::RunTool("quit-panel");
    EXPECT_EQ(run.exitCode, 0u);
    // An instance that holds the mutex and never ends (this test): 1 after ten seconds.
    win32::UniqueHandle mutex(CreateMutexA(nullptr, FALSE, "KorvalenInstanceMutex"));
    ASSERT_TRUE(mutex);
    run = ctltest::RunTool("quit-panel", Scaled(60s));
    EXPECT_EQ(run.exitCode, 1u);
}
