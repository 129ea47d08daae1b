// The running program from outside, under Wine: what its window layer reports, and a quit
// request that arrives while a message of its own is up.
#include "tests/app/startup_fixture.h"

using namespace startuptest;
using namespace testsupport;
using namespace settingstest;

namespace {

// Starts the program with the hypervisor enabled nowhere and Enable refused, shows the
// panel from the tray and presses Enable; returns the message window that comes up.
HWND RefusedEnableMessage(const Program& program, HWND panel) {
    PostMessageA(panel, kTrayCallback, 0, WM_LBUTTONDOWN);  // the first show, Status tab
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }));
    PostMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(163, 211));  // Enable
    PostMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(163, 211));
    HWND message = nullptr;
    (void)WaitUntil([&] {
        message = ShownWindowOf("TfrmMessageBox", program.Id());
        return message != nullptr;
    });
    return message;
}

}  // namespace

TEST_F(Startup, AnErrorInTheRunningProgramIsReportedUnderTheApplicationsTitle) {
    Program program;
    HWND panel = StartRunning(program);
    ASSERT_NE(panel, nullptr);
    // Below a volatile key no lasting key can be made: the next refresh's save fails.
    DeleteTree(HKEY_CURRENT_USER, "Korvalen");
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Korvalen", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    win32::UniqueKey korvalen(raw);
    PostMessageA(panel, kTrayCallback, 0, WM_LBUTTONDOWN);  // a show refreshes first
    HWND box = program.MessageBoxCaptioned("Korvalen control panel");
    ASSERT_NE(box, nullptr) << "the window layer's error box has the application's title";
    EXPECT_EQ(MessageBoxText(box), "Failed to create key General");
    PressMessageBoxOk(box);
    EXPECT_TRUE(program.Running()) << "the program goes on after the report";
    korvalen.reset();
    DeleteTree(HKEY_CURRENT_USER, "Korvalen");
    RequestQuit();
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(Startup, AQuitRequestWhileTheRefusedEnableMessageIsUpEndsTheProgram) {
    KorvalenSimScenario scenario = sim::DefaultScenario();
    ASSERT_EQ(sim::ApplySetOptions({"--status", "0x0,0x0", "--enable-answer", "1"}, scenario), "");
    ASSERT_TRUE(sim::SetScenario(scenario));
    Program program;
    HWND panel = StartRunning(program);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(RefusedEnableMessage(program, panel), nullptr) << "enables " << Counters().enables;
    RequestQuit();
    EXPECT_EQ(program.ExitCode(), 0u) << "both loops end: the message's and the main loop";
    EXPECT_EQ(PanelWindow(), nullptr);
}

// The Restart Manager (an installer's upgrade) and the end of the session ask each top-level
// window: the panel agrees, and when the session or the application is to end it removes its
// icon and ends by itself, with 0. An end that is called off changes nothing.
TEST_F(Startup, TheEndOfTheSessionOrTheRestartManagerEndsThePanel) {
    struct Case {
        LPARAM reason;
        bool shown;
    };
    for (const Case c : {Case{ENDSESSION_CLOSEAPP, false},
                         Case{static_cast<LPARAM>(ENDSESSION_LOGOFF), true}, Case{0, false}}) {
        SCOPED_TRACE(c.reason);
        Program program;
        HWND panel = StartRunning(program);
        ASSERT_NE(panel, nullptr);
        ASSERT_TRUE(WaitUntil(TrayIconShown));
        if (c.shown) {
            PostMessageA(panel, kTrayCallback, 0, WM_LBUTTONDOWN);
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }));
        }
        DWORD_PTR agreed = 0;
        ASSERT_NE(SendMessageTimeoutA(panel, WM_QUERYENDSESSION, 0, c.reason, SMTO_ABORTIFHUNG,
                                      5000, &agreed),
                  0);
        EXPECT_EQ(agreed, static_cast<DWORD_PTR>(TRUE));
        // Called off once, then on. An end removes the icon before it returns and posts the
        // quit messages, so a message posted after a called-off end is still answered only
        // if that end did neither: the panel shows or hides for it.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(panel, WM_ENDSESSION, FALSE, c.reason, SMTO_ABORTIFHUNG, 5000,
                            &ignored);
        EXPECT_TRUE(TrayIconShown()) << "an end called off leaves the icon";
        if (c.shown)
            PostMessageA(panel, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            PostMessageA(panel, kTrayCallback, 0, WM_LBUTTONDOWN);
        EXPECT_TRUE(WaitUntil([&] { return (IsWindowVisible(panel) != FALSE) != c.shown; }))
            << "an end called off leaves it running";
        EXPECT_TRUE(program.Running());
        SendMessageTimeoutA(panel, WM_ENDSESSION, TRUE, c.reason, SMTO_ABORTIFHUNG, 5000, &ignored);
        EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "the icon goes";
        EXPECT_EQ(program.ExitCode(), 0u);
    }
}
