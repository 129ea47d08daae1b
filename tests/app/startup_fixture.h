// The program from outside, under Wine: KorvalenControlPanel.exe started as its own
// process in the run's desktop, with the driver stand-in, the real registry and the real
// tray. Each test starts from no Korvalen data, no logon-start value and the stand-in's
// default scenario, and ends every instance it started.
#pragma once

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

namespace startuptest {

using namespace testsupport;
using namespace settingstest;

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Korvalen Control Panel";
constexpr char kGeneral[] = "Korvalen\\General";
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr char kAlreadyStarted[] = "Control panel is already started.";

inline std::string ProgramPath() {
    return ExecutableDirectory() + "..\\..\\app\\KorvalenControlPanel.exe";
}

inline HWND PanelWindow() {
    return FindWindowA("TfrmControlPanel", "Korvalen status");
}

// The taskbar of the run's desktop is shown only while some tray icon exists.
inline bool TrayIconShown() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    return taskbar && IsWindowVisible(taskbar);
}

inline DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// A shown top-level window of the class that belongs to the process: FindWindowA alone
// gives only the first of the class, which may be another process's.
inline HWND ShownWindowOf(const char* className, DWORD pid) {
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
inline std::optional<StoredValue> Stored(const char* name) {
    return GetValue(HKEY_CURRENT_USER, kGeneral, name);
}

// The first status evaluation ends by saving both values: from then on the program
// runs its main loop (or is about to).
inline bool WaitUntilFirstRefreshSaved() {
    return WaitUntil([] { return Stored("Messages") && Stored("Settings"); });
}

inline KorvalenSimCounters Counters() {
    const auto c = sim::GetCounters();
    EXPECT_TRUE(c.has_value());
    return c.value_or(KorvalenSimCounters{});
}

// Ends every running panel the way a quitting second instance does.
inline void QuitRunningPanels() {
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

    // The panel as a quit may find it: never shown, shown (a left press on the tray icon:
    // the first show, modal), or hidden again.
    enum class PanelState { NeverShown, Shown, HiddenAgain };
    static constexpr PanelState kEveryPanelState[] = {PanelState::NeverShown, PanelState::Shown,
                                                      PanelState::HiddenAgain};
    static void BringPanelTo(HWND panel, PanelState state) {
        if (state != PanelState::NeverShown) {
            PostMessageA(panel, kTrayCallback, 0, WM_LBUTTONDOWN);
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }));
        }
        if (state == PanelState::HiddenAgain) {
            PostMessageA(panel, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }));
        }
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

}  // namespace startuptest
