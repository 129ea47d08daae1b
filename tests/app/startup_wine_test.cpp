// The program from outside, under Wine: start, the single instance, the settings and the
// start-time disable, and the errors that end start-up.
#include "tests/app/startup_fixture.h"

#include <cstdint>

using namespace startuptest;
using namespace testsupport;
using namespace settingstest;

TEST_F(Startup, FirstStartEverAddsTheIconAndStoresBothValuesAsText) {
    Program program;
    HWND panel = StartRunning(program);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(IsWindowVisible(panel)) << "nothing in start-up shows the panel";
    EXPECT_TRUE(WaitUntil(TrayIconShown));
    // The first evaluation ever allowed a balloon and recorded that in bit 0.
    EXPECT_EQ(Stored("Messages"), TextValue("1"));
    EXPECT_EQ(Stored("Settings"), TextValue("0"));
    const auto c = Counters();
    EXPECT_EQ(c.disables, 0u);
    EXPECT_GE(c.reads, 2u) << "the first refresh read the status";

    RequestQuit();
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "freeing the panel removed the icon";
}

TEST_F(Startup, ASecondStartTellsThatThePanelIsAlreadyStartedAndLeavesItAlone) {
    Program first;
    HWND panel = StartRunning(first);
    ASSERT_NE(panel, nullptr);
    for (const char* arguments : {"", "-Q extra", "/Q"}) {
        Program second(arguments);
        HWND box = second.MessageBoxCaptioned("Error");
        ASSERT_NE(box, nullptr) << "arguments: " << arguments;
        EXPECT_EQ(MessageBoxText(box), kAlreadyStarted);
        PressMessageBoxOk(box);
        EXPECT_EQ(second.ExitCode(), 0u);
    }
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(panel));
    RequestQuit();
    EXPECT_EQ(first.ExitCode(), 0u);
}

// The uninstaller removes the program's files as soon as "-Q" returns: by then the running
// panel's process must have ended, or its executable would still be in use.
TEST_F(Startup, AQuitRequestReturnsOnlyOnceTheRunningPanelHasEnded) {
    Program program;
    ASSERT_NE(StartRunning(program), nullptr);
    // The panel shown: its modal loop is the one the first quit message ends.
    PostMessageA(program.Panel(), kTrayCallback, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(program.Panel()) != FALSE; }));
    RequestQuit();
    EXPECT_FALSE(program.Running()) << "the quit request ended before the panel";
    EXPECT_EQ(program.ExitCode(0ms), 0u);
}

TEST_F(Startup, AQuitRequestEndsAPanelNeverShownShownOrHiddenAgain) {
    for (const PanelState state : kEveryPanelState) {
        SCOPED_TRACE(static_cast<int>(state));
        Program program;
        HWND panel = StartRunning(program);
        ASSERT_NE(panel, nullptr);
        BringPanelTo(panel, state);
        RequestQuit();
        EXPECT_EQ(program.ExitCode(), 0u);
        EXPECT_FALSE(IsWindow(panel));
        EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); }));
    }
}

TEST_F(Startup, WhenTheRunningPanelCannotBeFoundAQuitRequestTellsItIsAlreadyStarted) {
    // This test holds the instance mutex: an instance "runs", but has no panel window.
    win32::UniqueHandle mutex(CreateMutexA(nullptr, FALSE, "KorvalenInstanceMutex"));
    ASSERT_TRUE(mutex);
    ASSERT_EQ(GetLastError(), 0u);
    Program quit(" -q ");
    HWND box = quit.MessageBoxCaptioned("Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), kAlreadyStarted);
    PressMessageBoxOk(box);
    EXPECT_EQ(quit.ExitCode(), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Korvalen")) << "a second start reads nothing";
}

TEST_F(Startup, AQuitRequestPostsTwoQuitMessagesToTheRunningPanelsWindow) {
    // This test holds the instance mutex and a window of the panel's class and title.
    win32::UniqueHandle mutex(CreateMutexA(nullptr, FALSE, "KorvalenInstanceMutex"));
    ASSERT_TRUE(mutex);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TfrmControlPanel";
    RegisterClassA(&wc);
    win32::UniqueWindow window(CreateWindowExA(0, "TfrmControlPanel", "Korvalen status", WS_POPUP,
                                               0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                               nullptr));
    ASSERT_TRUE(window);
    Program quit("-Q");
    // It waits (ten seconds at most) for this process, the "panel", to end.
    ASSERT_TRUE(quit.EndedWithoutPumping(static_cast<DWORD>(Scaled(30s).count())));
    int quits = 0;
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) ++quits;
    EXPECT_EQ(quits, 2);
    EXPECT_EQ(quit.ExitCode(0ms), 0u);
}

namespace {
int quitsDispatched = 0;

// The quit request posts its quit messages to the panel's window, so pumping this thread
// dispatches them to it.
LRESULT CALLBACK CountingQuits(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUIT) ++quitsDispatched;
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

// A quit request waits up to ten seconds for the running panel to end. Its application
// window is a top-level window all that time: a message sent to every top-level window (a
// broadcast, the system's end of session) would stall unless the wait dispatches.
TEST_F(Startup, AQuitRequestAnswersMessagesWhileItWaits) {
    win32::UniqueHandle mutex(CreateMutexA(nullptr, FALSE, "KorvalenInstanceMutex"));
    ASSERT_TRUE(mutex);
    quitsDispatched = 0;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &CountingQuits;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TfrmControlPanel";
    // An earlier test of this process (a whole-suite run) left the class without the count.
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    ASSERT_TRUE(RegisterClassA(&wc));
    // A "panel" of this process, which never ends: the request waits its full time.
    win32::UniqueWindow window(CreateWindowExA(0, "TfrmControlPanel", "Korvalen status", WS_POPUP,
                                               0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                               nullptr));
    ASSERT_TRUE(window);
    Program quit("-Q");
    HWND waiting = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND w = FindWindowA("ToolkitApplicationWindow", nullptr); w;
             w = FindWindowExA(nullptr, w, "ToolkitApplicationWindow", nullptr))
            if (ProcessOf(w) == quit.Id()) waiting = w;
        return waiting != nullptr;
    }));
    // Both quit messages posted: the request's wait has begun. (A fixed pause here would be
    // stretched by the deadline scale past the request's own ten seconds.)
    ASSERT_TRUE(WaitUntil([] { return quitsDispatched >= 2; }));
    ASSERT_TRUE(quit.Running());
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutA(waiting, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result), 0)
        << "the waiting request did not answer";
    // Its end after the full wait is the test above's; this one ends it (the fixture).
}

TEST_F(Startup, AMutexThatCannotBeMadeEndsWithTheFatalErrorMessage) {
    // Another kind of object under the mutex's name: the mutex call fails outright.
    win32::UniqueHandle squatter(CreateEventA(nullptr, TRUE, FALSE, "KorvalenInstanceMutex"));
    ASSERT_TRUE(squatter);
    Program program;
    HWND box = program.MessageBoxCaptioned("Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Fatal error has occured. Control panel will be terminated.");
    PressMessageBoxOk(box);
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Korvalen"));
}

TEST_F(Startup, AQuitRequestWithNoInstanceRunningOnlyProbesTheDriver) {
    ASSERT_TRUE(sim::ResetCounters());
    Program quit("-Q");
    EXPECT_EQ(quit.ExitCode(), 0u) << "ends at once, showing nothing";
    const auto c = Counters();
    EXPECT_EQ(c.opens, 1u);
    EXPECT_EQ(c.reads, 0u);
    EXPECT_EQ(c.disables, 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Korvalen"));
}

TEST_F(Startup, WithoutTheDriverTheProgramEndsSilentlyAndWritesNothing) {
    ASSERT_TRUE(sim::StopStandIn());
    Program program;
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(PanelWindow(), nullptr);
    EXPECT_FALSE(TrayIconShown());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Korvalen")) << "settings are not even loaded";
    EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue));
}

TEST_F(Startup, TheStartTimeDisableIsSentOnlyWithAutostartRegisteredAndSettingsBit0) {
    struct Case {
        bool registered;
        const char* settings;
        unsigned disables;
    };
    for (const Case& c : {Case{false, "0", 0}, Case{true, "0", 0}, Case{false, "1", 0},
                          Case{true, "2", 0}, Case{true, "1", 1}, Case{true, "-1", 1}}) {
        SCOPED_TRACE(std::string(c.registered ? "registered, " : "not registered, ") + "Settings " +
                     c.settings);
        DeleteTree(HKEY_CURRENT_USER, "Korvalen");
        PutText(HKEY_CURRENT_USER, kGeneral, "Settings", c.settings);
        if (c.registered)
            PutText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, "C:\\elsewhere\\panel.exe");
        else
            DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
        ASSERT_TRUE(sim::ResetCounters());
        Program program;
        ASSERT_NE(StartRunning(program), nullptr);
        EXPECT_EQ(Counters().disables, c.disables);
        EXPECT_EQ(Stored("Settings"), TextValue(c.settings)) << "carried through unchanged";
        RequestQuit();
        EXPECT_EQ(program.ExitCode(), 0u);
    }
}

TEST_F(Startup, ARefusedStartTimeDisableShowsTheMessageWindowBeforeThePanelExists) {
    KorvalenSimScenario scenario = sim::DefaultScenario();
    ASSERT_EQ(sim::ApplySetOptions({"--disable-answer", "255"}, scenario), "");
    ASSERT_TRUE(sim::SetScenario(scenario));
    PutText(HKEY_CURRENT_USER, kGeneral, "Settings", "1");
    PutText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, "C:\\elsewhere\\panel.exe");
    Program program;
    HWND message = nullptr;
    // Either window ends the wait, so that a start that was not refused says so at once.
    (void)WaitUntil([&] {
        message = ShownWindowOf("TfrmMessageBox", program.Id());
        return message || !program.Running() || ProcessOf(PanelWindow()) == program.Id();
    });
    ASSERT_NE(message, nullptr) << "running " << program.Running() << ", disables "
                                << Counters().disables;
    EXPECT_EQ(PanelWindow(), nullptr) << "start-up waits for the message to be closed";
    PostMessageA(message, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(240, 130));  // OK
    PostMessageA(message, WM_LBUTTONUP, 0, MAKELPARAM(240, 130));
    EXPECT_NE(StartRunning(program), nullptr) << "and goes on once it is closed";
    EXPECT_FALSE(IsWindow(message));
    RequestQuit();
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(Startup, ExitDuringTheRefusedEnableMessageEndsWithoutAnotherRefreshOrSave) {
    KorvalenSimScenario scenario = sim::DefaultScenario();
    ASSERT_EQ(sim::ApplySetOptions({"--status", "0x0,0x0", "--enable-answer", "1"}, scenario), "");
    ASSERT_TRUE(sim::SetScenario(scenario));
    Program program;
    HWND panel = StartRunning(program);
    ASSERT_NE(panel, nullptr);
    PostMessageA(panel, kTrayCallback, 0, WM_LBUTTONDOWN);  // the first show, Status tab
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }));
    PostMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(163, 211));  // Enable
    PostMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(163, 211));
    HWND message = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        message = ShownWindowOf("TfrmMessageBox", program.Id());
        return message != nullptr;
    })) << "enables "
        << Counters().enables;
    // Stored values that a save from memory would overwrite, and the reads so far.
    PutText(HKEY_CURRENT_USER, kGeneral, "Messages", "6");
    PutText(HKEY_CURRENT_USER, kGeneral, "Settings", "4");
    const std::uint32_t reads = Counters().reads;
    // Exit from the tray menu, as the menu posts it, while the message is up.
    PostMessageA(panel, WM_COMMAND, 4, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(Counters().reads, reads) << "no refresh after the message: no balloon";
    EXPECT_EQ(Stored("Messages"), TextValue("6")) << "nothing saved on the way out";
    EXPECT_EQ(Stored("Settings"), TextValue("4"));
}

TEST_F(Startup, AnUnreadableSettingsValueEndsWithTheApplicationErrorReport) {
    const DWORD number = 1;
    PutValue(HKEY_CURRENT_USER, kGeneral, "Settings", REG_DWORD, &number, sizeof number);
    Program program;
    HWND box = program.MessageBoxCaptioned("Application Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Invalid data type for 'Settings'");
    EXPECT_EQ(PanelWindow(), nullptr);
    PressMessageBoxOk(box);
    EXPECT_EQ(program.ExitCode(), 1u);
}

TEST_F(Startup, AnErrorAfterThePanelExistsStillFreesItBeforeTheReport) {
    // Below a volatile key no lasting key can be made: the first refresh's save fails.
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Korvalen", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    win32::UniqueKey korvalen(raw);
    Program program;
    HWND box = program.MessageBoxCaptioned("Application Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Failed to create key General");
    EXPECT_EQ(PanelWindow(), nullptr) << "the panel is gone while the report is up";
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "and so is its icon";
    PressMessageBoxOk(box);
    EXPECT_EQ(program.ExitCode(), 1u);
}

TEST_F(Startup, ANewStartRightAfterAnExitSucceeds) {
    {
        Program first;
        ASSERT_NE(StartRunning(first), nullptr);
        RequestQuit();
        EXPECT_EQ(first.ExitCode(), 0u);
    }
    Program next;
    EXPECT_NE(next.Panel(), nullptr) << "the mutex went with the first instance";
    EXPECT_TRUE(next.Running());
    RequestQuit();
    EXPECT_EQ(next.ExitCode(), 0u);
}
