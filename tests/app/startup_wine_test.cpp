// The program from outside, under Wine: KorvalenControlPanel.exe started as its own
// process in the run's desktop, with the driver stand-in, the real registry and the real
// tray. Each test starts from no Korvalen data, no logon-start value and the stand-in's
// default scenario, and ends every instance it started.
#include "simulator/sim_client.h"
#include "simulator/sim_scenario.h"
#include "tests/settings/registry_snapshot.h"
#include "tests/support/wine_test_support.h"
#include "win32/unique_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace testsupport;
using namespace settingstest;

namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Korvalen Control Panel";
constexpr char kGeneral[] = "Korvalen\\General";
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr char kAlreadyStarted[] = "Control panel is already started.";

std::string ProgramPath() {
    return ExecutableDirectory() + "..\\..\\app\\KorvalenControlPanel.exe";
}

HWND PanelWindow() {
    return FindWindowA("TfrmControlPanel", "Korvalen status");
}

// The taskbar of the run's desktop is shown only while some tray icon exists.
bool TrayIconShown() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    return taskbar && IsWindowVisible(taskbar);
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// A shown top-level window of the class that belongs to the process: FindWindowA alone
// gives only the first of the class, which may be another process's.
HWND ShownWindowOf(const char* className, DWORD pid) {
    for (HWND w = FindWindowA(className, nullptr); w;
         w = FindWindowExA(nullptr, w, className, nullptr))
        if (ProcessOf(w) == pid && IsWindowVisible(w)) return w;
    return nullptr;
}

// One run of the program.
class Program {
public:
    explicit Program(const std::string& arguments = {}) {
        std::string line = ProgramPath();
        line.insert(line.begin(), '"');
        line += '"';
        if (!arguments.empty()) line.append(" ").append(arguments);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &si, &pi)) {
            process_.reset(pi.hProcess);
            win32::UniqueHandle thread(pi.hThread);
            pid_ = pi.dwProcessId;
        }
    }
    // The last resort of a failed test: nothing may outlive it.
    ~Program() {
        if (Running()) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    [[nodiscard]] bool Started() const { return process_.valid(); }
    [[nodiscard]] DWORD Id() const { return pid_; }
    [[nodiscard]] bool Running() const {
        return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
    }
    // The exit code once it has ended, or nothing when it runs on past the deadline.
    [[nodiscard]] std::optional<DWORD> ExitCode(std::chrono::milliseconds deadline = 10s) const {
        if (!process_ || !WaitUntil([&] { return !Running(); }, deadline)) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }
    // Whether it ended within the deadline, waited for without taking this thread's
    // messages (a test may count what the program posts to it).
    [[nodiscard]] bool EndedWithoutPumping(DWORD milliseconds) const {
        return process_ && WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
    }
    // Its panel window, once it exists.
    [[nodiscard]] HWND Panel(std::chrono::milliseconds deadline = 10s) const {
        HWND found = nullptr;
        (void)WaitUntil(
            [&] {
                found = PanelWindow();
                return found && ProcessOf(found) == pid_;
            },
            deadline);
        return found && ProcessOf(found) == pid_ ? found : nullptr;
    }
    // A shown system message box of this process with this caption, once it is up.
    [[nodiscard]] HWND MessageBoxCaptioned(const char* caption) const {
        HWND box = nullptr;
        (void)WaitUntil([&] {
            box = nullptr;
            for (HWND w = FindWindowA("#32770", caption); w;
                 w = FindWindowExA(nullptr, w, "#32770", caption))
                if (ProcessOf(w) == pid_ && IsWindowVisible(w) && GetDlgItem(w, IDOK)) box = w;
            return box != nullptr;
        });
        return box;
    }

private:
    win32::UniqueHandle process_;
    DWORD pid_ = 0;
};

// Stored values of the settings store as the program left them.
std::optional<StoredValue> Stored(const char* name) {
    return GetValue(HKEY_CURRENT_USER, kGeneral, name);
}

// The first status evaluation ends by saving both values: from then on the program
// runs its main loop (or is about to).
bool WaitUntilFirstRefreshSaved() {
    return WaitUntil([] { return Stored("Messages") && Stored("Settings"); });
}

KorvalenSimCounters Counters() {
    const auto c = sim::GetCounters();
    EXPECT_TRUE(c.has_value());
    return c.value_or(KorvalenSimCounters{});
}

// Ends every running panel the way a quitting second instance does.
void QuitRunningPanels() {
    for (int round = 0; round < 3; ++round) {
        HWND panel = PanelWindow();
        if (!panel) return;
        PostMessageA(panel, WM_QUIT, 0, 0);
        PostMessageA(panel, WM_QUIT, 0, 0);
        (void)WaitUntil([&] { return !IsWindow(panel); }, 5s);
    }
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim::StartStandIn()) << "the driver stand-in is not installed";
        ASSERT_TRUE(sim::Reset());
        QuitRunningPanels();
        korvalen_ = ReadTree(HKEY_CURRENT_USER, "Korvalen");
        runValue_ = GetValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
        DeleteTree(HKEY_CURRENT_USER, "Korvalen");
        DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
        ASSERT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "an icon of another test";
    }
    void TearDown() override {
        QuitRunningPanels();
        DeleteTree(HKEY_CURRENT_USER, "Korvalen");
        if (korvalen_) WriteTree(HKEY_CURRENT_USER, "Korvalen", *korvalen_);
        DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
        if (runValue_)
            PutValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, runValue_->type,
                     runValue_->data.data(), static_cast<DWORD>(runValue_->data.size()));
        EXPECT_TRUE(sim::StartStandIn());
        EXPECT_TRUE(sim::Reset());
    }

    // Starts an instance and waits until it runs its main loop with its panel hidden.
    static HWND StartRunning(const Program& program) {
        EXPECT_TRUE(program.Started());
        HWND panel = program.Panel();
        EXPECT_NE(panel, nullptr);
        EXPECT_TRUE(WaitUntilFirstRefreshSaved());
        return panel;
    }

    // A quitting second instance: it shows nothing and ends with 0.
    static void RequestQuit() {
        Program quit("-Q");
        EXPECT_EQ(quit.ExitCode(), 0u);
    }

private:
    std::optional<KeyTree> korvalen_;
    std::optional<StoredValue> runValue_;
};

}  // namespace

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
    enum class State { NeverShown, Shown, HiddenAgain };
    for (State state : {State::NeverShown, State::Shown, State::HiddenAgain}) {
        SCOPED_TRACE(static_cast<int>(state));
        Program program;
        HWND panel = StartRunning(program);
        ASSERT_NE(panel, nullptr);
        if (state != State::NeverShown) {
            // A left press on the tray icon: the first show, modal.
            PostMessageA(panel, kTrayCallback, 0, WM_LBUTTONDOWN);
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }));
        }
        if (state == State::HiddenAgain) {
            PostMessageA(panel, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }));
        }
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
