// soak-probe: a long random walk over the control panel, from inside its Wine desktop.
//   soak-probe SEED MINUTES EXE [--log]
// Starts EXE (the control panel) and, every 100 ms at most, takes one step of the walk
// that SEED decides (benchmarks/soak_model.h): another driver scenario or fault for the
// stand-in, a tray press, a tab click, Enable or Disable (answering the message window a
// refusal brings), Esc, the close command, a scale change, the taskbar's new-taskbar
// broadcast. After each step it waits, with a deadline, until the panel shows what the
// step means, read as a screen reader reads it; one that never does is a wrong state. A
// process that ends is a crash (it is started again). Kernel handles, GDI and USER objects
// and anonymous memory are counted after a warm-up and at the end, in the same state.
// Prints the seed first and a summary last: "soak: N steps, W wrong states, C crashes, ...".
#include <windows.h>
// after <windows.h>
#include <oleacc.h>
#include <psapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "benchmarks/panel_input.h"
#include "benchmarks/process_counts.h"
#include "benchmarks/soak_model.h"
#include "benchmarks/soak_view.h"
#include "benchmarks/soak_watchdog.h"
#include "simulator/sim_client.h"
#include "status/status_texts.h"
#include "win32/unique_win.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr char kPanelClass[] = "TfrmControlPanel";
using soak::Find;
using soak::kMessageClass;
using soak::Mismatch;
using soak::ReadChildren;
// Under emulation an i686 panel answers many times slower: the deadlines are long.
constexpr auto kDeadline = std::chrono::seconds(60);
// No single call or wait of the walk takes longer than a deadline; a walk that has not
// moved for this long is stuck in a call that will not return.
constexpr auto kStuck = std::chrono::seconds(150);

// The probe's one watchdog, told of progress by every poll.
soak::Watchdog* watchdog = nullptr;

void Progress(const char* doing) {
    if (watchdog) watchdog->Mark(doing);
}

template <typename Condition>
bool WaitFor(Condition condition, Clock::duration deadline) {
    const auto end = Clock::now() + deadline;
    while (!condition()) {
        if (Clock::now() > end) return false;
        if (watchdog) watchdog->Mark();
        Sleep(5);
    }
    return true;
}

class Panel {
public:
    explicit Panel(std::string exe) : exe_(std::move(exe)) {}
    bool Start() {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string line = '"' + exe_ + '"';
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return false;
        process_.reset(pi.hProcess);
        win32::UniqueHandle thread(pi.hThread);
        pid_ = pi.dwProcessId;
        window_ = nullptr;
        if (watchdog) watchdog->Watch(nullptr, process_.get());
        const bool started =
            WaitFor([&] { return (window_ = FindWindowA(kPanelClass, nullptr)) != nullptr; },
                    kDeadline) &&
            WaitForInputIdle(process_.get(), 60000) == 0;
        if (watchdog) watchdog->Watch(window_, process_.get());
        return started;
    }
    [[nodiscard]] bool Alive() const {
        return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
    }
    bool Quit() {
        PostMessageA(window_, WM_QUIT, 0, 0);
        PostMessageA(window_, WM_QUIT, 0, 0);
        DWORD code = 1;
        const bool ended = WaitForSingleObject(process_.get(), 60000) == WAIT_OBJECT_0 &&
                           GetExitCodeProcess(process_.get(), &code) && code == 0;
        if (!ended) TerminateProcess(process_.get(), 1);
        return ended;
    }
    [[nodiscard]] HWND Window() const noexcept { return window_; }
    [[nodiscard]] HANDLE Process() const noexcept { return process_.get(); }
    [[nodiscard]] DWORD Pid() const noexcept { return pid_; }

private:
    std::string exe_;
    win32::UniqueHandle process_;
    DWORD pid_ = 0;
    HWND window_ = nullptr;
};

struct Counts {
    long handles = -1, gdi = -1, user = -1;
    long long anonKb = -1;
    std::string gdiKinds;
    long dcs = -1, bitmaps = -1, regions = -1;
};

Counts Count(const Panel& panel) {
    Counts c;
    if (const auto o = bench::CountProcessObjects(panel.Pid())) {
        c.handles = o->kernelHandles;
        c.gdi = o->gdiObjects;
        c.user = o->topLevelWindows;
        c.gdiKinds = o->gdiKinds;
        c.dcs = o->gdiDcs;
        c.bitmaps = o->gdiBitmaps;
        c.regions = o->gdiRegions;
    }
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    // Under Wine the page-file usage is the process's anonymous memory.
    if (K32GetProcessMemoryInfo(panel.Process(), &pmc, sizeof pmc))
        c.anonKb = static_cast<long long>(pmc.PagefileUsage / 1024);
    return c;
}

// The walk over one running panel.
class Soak {
public:
    Soak(std::uint64_t seed, Panel& panel, bool log) : walk_(seed), panel_(panel), log_(log) {}

    // Sets the stand-in's default scenario and starts the panel.
    bool Begin() {
        scenario_ = soak::MakeScenario(soak::Scenarios()[0]);
        return sim::SetScenario(scenario_) && StartPanel();
    }

    // Growth is counted per process: from when it has made everything once (settled) to
    // its end (settled again).
    void CountIfWarm() {
        if (warm_ || !SeenEverything()) return;
        Progress("settling the panel for its warm count");
        warm_ = Settle();
        if (log_) std::printf("soak: process %ld warm at step %ld\n", processes, steps);
    }
    void EndCount() {
        if (!warm_) return;
        const Counts last = Settle();
        const auto add = [](long& sum, long before, long after) {
            if (before >= 0 && after >= 0) sum += after - before;
        };
        add(growth.handles, warm_->handles, last.handles);
        add(growth.gdi, warm_->gdi, last.gdi);
        const long kept = bench::SurfacesKeptByDcCache(last.bitmaps - warm_->bitmaps,
                                                       last.regions - warm_->regions, last.dcs);
        growth.gdi -= 2 * kept;
        keptSurfaces += kept;
        add(growth.user, warm_->user, last.user);
        growth.anonKb += last.anonKb - warm_->anonKb;
        gdiCounted = warm_->gdi >= 0 && last.gdi >= 0;
        if (log_)
            std::printf(
                "soak: process %ld from warm to end: handles %+ld, GDI %+ld, USER %+ld, "
                "anonymous memory %+lld kB\n",
                processes, last.handles - warm_->handles, last.gdi - warm_->gdi,
                last.user - warm_->user, last.anonKb - warm_->anonKb);
        if (log_ && last.gdi != warm_->gdi)
            std::printf("  GDI objects: %s (warm: %s); surfaces kept by Wine's DC cache: %ld\n",
                        last.gdiKinds.c_str(), warm_->gdiKinds.c_str(), kept);
        ++measured;
        warm_.reset();
    }
    bool Finish() {
        Progress("settling the panel for its last count");
        EndCount();
        Progress("quitting the panel");
        return panel_.Quit();
    }

    void Step() {
        ++steps;
        const soak::Action action = walk_.NextAction();
        if (watchdog) watchdog->Mark(steps, soak::ActionName(action), "taking the step");
        std::string what = soak::ActionName(action);
        Take(action, what);
        Progress("checking what the panel shows");
        if (!panel_.Alive()) {
            ++crashes;
            DWORD code = 0;
            (void)GetExitCodeProcess(panel_.Process(), &code);
            // The exit code tells a crash (an exception code) from an end of Wine's making.
            std::printf("soak: step %ld (%s): the panel ended with 0x%lx; started again\n", steps,
                        what.c_str(), static_cast<unsigned long>(code));
            if (!Begin()) std::printf("soak: the panel did not start again\n");
            return;
        }
        std::string wrong;
        if (!WaitFor([&] { return (wrong = Mismatch(panel_.Window(), model_)).empty(); },
                     kDeadline)) {
            ++wrongStates;
            std::printf("soak: step %ld (%s): wrong state: %s\n", steps, what.c_str(),
                        wrong.c_str());
            Recover();
        } else if (log_) {
            std::printf("step %ld: %s [%s, %s page, %d DPI]\n", steps, what.c_str(),
                        model_.visible ? "shown" : "hidden",
                        model_.settingsPage ? "Settings" : "Status", model_.dpi);
            LogObjectChange();
        }
        std::fflush(stdout);
    }

    // The panel hidden on the Status page at its first scale: the state both counts are
    // taken in, reached the same way each time: at the first scale, shown, through the
    // Settings page back to the Status page, hidden. Each step is seen through and the
    // panel painted whole (the check boxes too) before the next; posted in one go, the
    // steps ran with no paint between them. Window surfaces that Wine's DC cache keeps
    // are told apart at the count (bench::SurfacesKeptByDcCache).
    Counts Settle() {
        if (model_.dpi != startDpi_) SettleStep(soak::Action::Scale);
        if (!model_.visible) SettleStep(soak::Action::Show);
        if (!model_.settingsPage) SettleStep(soak::Action::SwitchTab);
        SettleStep(soak::Action::SwitchTab);
        SettleStep(soak::Action::Close);
        Sleep(500);
        Counts counts = Count(panel_);
        if (log_) std::printf("soak: settled: GDI %ld: %s\n", counts.gdi, counts.gdiKinds.c_str());
        return counts;
    }
    void SettleStep(soak::Action action) {
        Take(action, scratch_);
        (void)WaitFor([&] { return Mismatch(panel_.Window(), model_).empty(); }, kDeadline);
        if (!model_.visible) return;
        reporter_.Request(panel_.Window());
        RedrawWindow(panel_.Window(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        (void)reporter_.Wait(static_cast<DWORD>(kDeadline.count() * 1000));
    }

    // With --log, which step a process's kernel handles, GDI or USER objects changed after,
    // so that growth can be traced to what brought it.
    void LogObjectChange() {
        const Counts now = Count(panel_);
        if (lastLogged_ && lastLogged_->pid == panel_.Pid() &&
            (now.handles != lastLogged_->counts.handles || now.gdi != lastLogged_->counts.gdi ||
             now.user != lastLogged_->counts.user))
            std::printf("  objects: handles %ld -> %ld, GDI %ld -> %ld, USER %ld -> %ld\n",
                        lastLogged_->counts.handles, now.handles, lastLogged_->counts.gdi, now.gdi,
                        lastLogged_->counts.user, now.user);
        if (lastLogged_ && lastLogged_->pid == panel_.Pid() && now.gdi != lastLogged_->counts.gdi)
            std::printf("  GDI objects: %s (were %s)\n", now.gdiKinds.c_str(),
                        lastLogged_->counts.gdiKinds.c_str());
        lastLogged_ = Logged{panel_.Pid(), now};
    }

    // Every kind of thing made once: both pages shown, a message answered, both scales.
    // Also the two moments that need the most window DCs at once, after which Wine's DC
    // cache for the process has its size (one DC, its region and its surface more, seen
    // first at either of them, measured): the Status page shown again once the Settings
    // page has been, and a scale change while the Settings page is shown.
    [[nodiscard]] bool SeenEverything() const noexcept {
        return seenSettings_ && seenMessage_ && seenOtherScale_ && seenStatusAfterSettings_ &&
               seenScaleOnSettings_ && model_.dpi == startDpi_;
    }

    long steps = 0, wrongStates = 0, crashes = 0, messages = 0, processes = 0, measured = 0;
    Counts growth{0, 0, 0, 0, {}};
    bool gdiCounted = false;
    long keptSurfaces = 0;  // window surfaces kept by Wine's DC cache, not counted as growth

private:
    void Take(soak::Action action, std::string& what) {
        const HWND hwnd = panel_.Window();
        switch (action) {
            case soak::Action::Scenario: {
                const auto& chosen = soak::PickScenario(walk_);
                what += std::string(": ") + chosen.name;
                scenario_ = soak::MakeScenario(chosen);
                if (!sim::SetScenario(scenario_)) what += " (the stand-in refused it)";
                return;
            }
            case soak::Action::Show:
                PostMessageA(hwnd, bench::kTrayCallback, 1, WM_LBUTTONDOWN);
                if (!model_.visible) {
                    model_.Refresh(scenario_);
                    model_.visible = true;
                }
                return;
            case soak::Action::SwitchTab:
                if (!model_.visible) return;
                bench::PostClick(hwnd, 14 + 47, model_.settingsPage ? 52 + 17 : 90 + 17);
                model_.settingsPage = !model_.settingsPage;
                seenStatusAfterSettings_ =
                    seenStatusAfterSettings_ || (seenSettings_ && !model_.settingsPage);
                seenSettings_ = seenSettings_ || model_.settingsPage;
                return;
            case soak::Action::Enable:
            case soak::Action::Disable: Command(action == soak::Action::Enable, what); return;
            case soak::Action::Escape:
                if (!model_.visible) return;
                PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
                model_.visible = false;
                return;
            case soak::Action::Close:
                PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
                model_.visible = false;
                return;
            case soak::Action::Scale: {
                const int dpi = model_.dpi == 96 ? 144 : 96;
                if (!bench::SendScaleChange(hwnd, panel_.Process(), dpi)) what += " (not sent)";
                model_.dpi = dpi;
                seenOtherScale_ = seenOtherScale_ || (dpi != startDpi_ && model_.visible);
                seenScaleOnSettings_ =
                    seenScaleOnSettings_ || (model_.visible && model_.settingsPage);
                return;
            }
            case soak::Action::TaskbarCreated:
                PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
                return;
            case soak::Action::Restart:
                if (!Finish()) {
                    ++wrongStates;
                    std::printf("soak: step %ld: the panel did not end cleanly\n", steps);
                }
                // Without the device the panel ends silently at start: the device first.
                if (scenario_.faults & KORVALEN_SIM_FAULT_ABSENT) {
                    scenario_ = soak::MakeScenario(soak::Scenarios()[0]);
                    (void)sim::SetScenario(scenario_);
                }
                if (!StartPanel()) std::printf("soak: the panel did not start again\n");
                return;
        }
    }

    bool StartPanel() {
        ++processes;
        seenSettings_ = seenMessage_ = seenOtherScale_ = false;
        seenStatusAfterSettings_ = seenScaleOnSettings_ = false;
        if (!panel_.Start()) return false;
        model_.Start(scenario_);
        return true;
    }

    // A click on Enable or Disable: where available the command runs, its message (if
    // any) is checked and answered, and the panel refreshes and sets its labels.
    void Command(bool enable, std::string& what) {
        // As the user would: the panel opened from the tray, the Status page chosen.
        if (!model_.visible) Take(soak::Action::Show, scratch_);
        if (model_.settingsPage) Take(soak::Action::SwitchTab, scratch_);
        const bool available = enable ? model_.labels.enable : model_.labels.disable;
        bench::PostClick(panel_.Window(), enable ? 163 : 267, 211);
        if (!available) {
            what += " (unavailable)";
            return;
        }
        const auto command =
            enable ? driver::HypervisorCommand::Enable : driver::HypervisorCommand::Disable;
        const auto outcome = soak::ExpectedCommand(scenario_, command);
        if (const char* text = status::CommandMessage(command, outcome)) {
            ++messages;
            seenMessage_ = true;
            what += std::string(": \"") + text + "\"";
            HWND box = nullptr;
            if (!WaitFor(
                    [&] {
                        box = FindWindowA(kMessageClass, nullptr);
                        return box && IsWindowVisible(box);
                    },
                    kDeadline)) {
                what += " never came";
                return;
            }
            const auto children = ReadChildren(box);
            if (!Find(children, soak::kRoleStaticText, text)) what += " (shown with another text)";
            PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
            (void)WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kDeadline);
        }
        model_.Refresh(scenario_);
        model_.labels = ui::DecideCommandLabels(
            enable ? ui::LabelCaller::EnableClick : ui::LabelCaller::DisableClick,
            model_.shown.driverResult, model_.shown.hypervisorState, model_.shown.problemFlags,
            model_.labels);
    }

    // After a wrong state: answer any message, follow the window's visibility and page.
    void Recover() {
        if (HWND box = FindWindowA(kMessageClass, nullptr))
            PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
        if (HWND error = FindWindowA("#32770", nullptr)) PostMessageA(error, WM_CLOSE, 0, 0);
        model_.visible = IsWindowVisible(panel_.Window()) != FALSE;
    }

    soak::Walk walk_;
    Panel& panel_;
    bool log_;
    soak::PanelModel model_;
    KorvalenSimScenario scenario_{};
    int startDpi_ = 96;
    bool seenSettings_ = false;
    bool seenMessage_ = false;
    std::optional<Counts> warm_;
    bool seenOtherScale_ = false;
    bool seenStatusAfterSettings_ = false;
    bool seenScaleOnSettings_ = false;
    std::string scratch_;
    bench::PaintReporter reporter_;
    struct Logged {
        DWORD pid;
        Counts counts;
    };
    std::optional<Logged> lastLogged_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: soak-probe SEED MINUTES EXE [--log]\n", stderr);
        return 2;
    }
    SetProcessDPIAware();
    const std::uint64_t seed = std::strtoull(argv[1], nullptr, 0);
    const double minutes = std::atof(argv[2]);
    const bool log = argc > 4 && std::string(argv[4]) == "--log";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::printf("soak: seed %llu, %.1f minutes, %s\n", static_cast<unsigned long long>(seed),
                minutes, argv[3]);
    std::fflush(stdout);
    soak::Watchdog stuck(kStuck);
    watchdog = &stuck;
    // The real pointer goes to the desktop's top-left corner, away from the centred panel
    // and the taskbar. Left over the panel by the suite before, it gave the panels real
    // hovers the walk knows nothing of: one process made three bitmaps more than another
    // (what a pointer over it brings), counted as growth in a whole run (measured).
    SetCursorPos(0, 0);
    Panel panel(argv[3]);
    Soak soak(seed, panel, log);
    if (!soak.Begin()) {
        std::puts("soak: the panel did not start");
        return 1;
    }
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double, std::ratio<60>>(minutes));
    auto next = Clock::now();
    while (Clock::now() < end) {
        soak.Step();
        soak.CountIfWarm();
        next += std::chrono::milliseconds(100);
        if (const auto now = Clock::now(); now < next)
            Sleep(static_cast<DWORD>(
                std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()));
        else
            next = now;
    }
    const bool quit = soak.Finish();
    const auto& g = soak.growth;
    const bool grew = g.handles > 0 || g.gdi > 0 || g.user > 0;
    std::printf(
        "soak: %ld steps, %ld wrong states, %ld crashes, %ld messages answered, %ld "
        "processes; ",
        soak.steps, soak.wrongStates, soak.crashes, soak.messages, soak.processes);
    if (soak.measured == 0)
        std::printf(
            "growth not counted: no process made everything once (both pages, a "
            "message, both scales, the Status page after the Settings page, a scale "
            "change on the Settings page)");
    else
        std::printf(
            "growth over %ld processes from their warm count to their end: handles "
            "%+ld, GDI %s, USER %+ld, anonymous memory %+lld kB",
            soak.measured, g.handles, soak.gdiCounted ? std::to_string(g.gdi).c_str() : "-", g.user,
            g.anonKb);
    if (soak.keptSurfaces > 0)
        std::printf(" (not counted: %ld window surface%s kept by Wine's DC cache)",
                    soak.keptSurfaces, soak.keptSurfaces == 1 ? "" : "s");
    std::printf("%s\n", quit ? "" : "; the panel did not end cleanly on its quit messages");
    const bool ok = soak.wrongStates == 0 && soak.crashes == 0 && !grew && quit;
    CoUninitialize();
    return ok ? 0 : 1;
}
