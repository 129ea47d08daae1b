// bench-probe: measures a tray program from inside its Wine desktop, for benchmarks/run.
//   bench-probe startup RUNS CLASS QUITS EXE [ARGS...]
//       starts EXE RUNS times; prints the milliseconds from CreateProcess until the taskbar
//       (which Wine shows only while some tray icon exists) is visible, one line per run;
//       ends each run by posting QUITS WM_QUIT messages to the program's window of CLASS.
//   bench-probe wait-tray SECONDS       waits until the taskbar is visible
//   bench-probe quit CLASS QUITS        posts QUITS WM_QUIT messages to the window of CLASS
//   bench-probe pid CLASS               the process id of the window of CLASS
//   bench-probe counts PID              kernel handles, GDI objects, top-level windows
//   bench-probe cycles CLASS SHOWS TABS refreshes and show/hide/tab-switch cycles
//   bench-probe first-show RUNS CLASS QUITS EXE [ARGS...]
//       starts EXE RUNS times; once it is idle with its window of CLASS and its tray icon,
//       times one show from the tray press to the end of the first whole paint (see
//       bench-probe shows), then ends it as startup does; one line of milliseconds per run
//   bench-probe shows CLASS N
//       N times: the tray press as the shell sends it (the callback message, 0x0201),
//       timed to the end of the window's first whole paint as the window itself reports
//       it (toolkit/paint_report.h); then SC_CLOSE and a wait until it is hidden; one line
//       of milliseconds per show
//   bench-probe scale CLASS ROUNDS DPI...
//       shows the window of CLASS, sends it WM_DPICHANGED for each DPI in turn, ROUNDS
//       times (with the suggested rectangle in the program's own memory, as the system
//       sends it), then hides it
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "benchmarks/panel_input.h"
#include "benchmarks/process_counts.h"
#include "win32/unique_win.h"

namespace {

using bench::kTrayCallback;
using bench::PostClick;
using bench::SendScaleChange;

double Now() {
    LARGE_INTEGER frequency{}, counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool TaskbarVisible() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    return taskbar && IsWindowVisible(taskbar);
}

// Polls CONDITION every millisecond until it holds or the deadline passes.
template <typename Condition>
bool WaitFor(Condition condition, double deadlineMs) {
    const double end = Now() + deadlineMs;
    while (!condition()) {
        if (Now() > end) return false;
        Sleep(1);
    }
    return true;
}

void PostQuits(HWND hwnd, int count) {
    for (int i = 0; i < count; ++i) PostMessageA(hwnd, WM_QUIT, 0, 0);
}

int Startup(int runs, const char* windowClass, int quits, int argc, char** argv) {
    std::string commandLine;
    for (int i = 0; i < argc; ++i) {
        if (i) commandLine += ' ';
        commandLine += '"' + std::string(argv[i]) + '"';
    }
    for (int run = 0; run < runs; ++run) {
        if (!WaitFor([] { return !TaskbarVisible(); }, 10000)) {
            std::fputs("bench-probe: a tray icon of another program is still there\n", stderr);
            return 1;
        }
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string mutableLine = commandLine;
        const double start = Now();
        if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi)) {
            std::fprintf(stderr, "bench-probe: cannot start %s\n", argv[0]);
            return 1;
        }
        win32::UniqueHandle process(pi.hProcess);
        win32::UniqueHandle thread(pi.hThread);
        const bool added = WaitFor(TaskbarVisible, 20000);
        const double elapsed = Now() - start;
        HWND window = nullptr;
        WaitFor([&] { return (window = FindWindowA(windowClass, nullptr)) != nullptr; }, 10000);
        if (window) PostQuits(window, quits);
        if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) {
            TerminateProcess(process.get(), 1);
            std::fputs("bench-probe: the program did not end\n", stderr);
            return 1;
        }
        if (!added) {
            std::fputs("bench-probe: no tray icon appeared\n", stderr);
            return 1;
        }
        std::printf("%.2f\n", elapsed);
        std::fflush(stdout);
    }
    return 0;
}

using bench::PaintReporter;

// One show of HWND from its tray icon: milliseconds from the press to the end of the first
// whole paint, by the performance counter that both processes share; negative when no
// report came.
double TimedShow(HWND hwnd, const PaintReporter& reporter) {
    LARGE_INTEGER frequency{}, start{};
    QueryPerformanceFrequency(&frequency);
    reporter.Request(hwnd);
    QueryPerformanceCounter(&start);
    PostMessageA(hwnd, kTrayCallback, 1, WM_LBUTTONDOWN);
    const std::optional<DWORD> end = reporter.Wait(10000);
    if (!end) return -1;
    const DWORD ticks = *end - static_cast<DWORD>(start.QuadPart);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

bool HideAndWait(HWND hwnd) {
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitFor([&] { return !IsWindowVisible(hwnd); }, 10000);
}

int Shows(const char* windowClass, int count) {
    HWND hwnd = FindWindowA(windowClass, nullptr);
    if (!hwnd) return 1;
    const PaintReporter reporter;
    for (int i = 0; i < count; ++i) {
        const double ms = TimedShow(hwnd, reporter);
        if (ms < 0 || !HideAndWait(hwnd)) {
            std::fprintf(stderr, "bench-probe: show %d did not complete\n", i);
            return 1;
        }
        std::printf("%.2f\n", ms);
        std::fflush(stdout);
    }
    return 0;
}

int FirstShow(int runs, const char* windowClass, int quits, int argc, char** argv) {
    std::string commandLine;
    for (int i = 0; i < argc; ++i) {
        if (i) commandLine += ' ';
        commandLine += '"' + std::string(argv[i]) + '"';
    }
    const PaintReporter reporter;
    for (int run = 0; run < runs; ++run) {
        if (!WaitFor([] { return !TaskbarVisible(); }, 10000)) {
            std::fputs("bench-probe: a tray icon of another program is still there\n", stderr);
            return 1;
        }
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string mutableLine = commandLine;
        if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi)) {
            std::fprintf(stderr, "bench-probe: cannot start %s\n", argv[0]);
            return 1;
        }
        win32::UniqueHandle process(pi.hProcess);
        win32::UniqueHandle thread(pi.hThread);
        HWND window = nullptr;
        const bool up =
            WaitFor(TaskbarVisible, 20000) &&
            WaitFor([&] { return (window = FindWindowA(windowClass, nullptr)) != nullptr; },
                    10000) &&
            WaitForInputIdle(process.get(), 20000) == 0;
        const double ms = up ? TimedShow(window, reporter) : -1;
        if (window) PostQuits(window, quits);
        if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) {
            TerminateProcess(process.get(), 1);
            std::fputs("bench-probe: the program did not end\n", stderr);
            return 1;
        }
        if (ms < 0) {
            std::fputs("bench-probe: the first show did not complete\n", stderr);
            return 1;
        }
        std::printf("%.2f\n", ms);
        std::fflush(stdout);
    }
    return 0;
}

int WaitTray(int seconds) {
    return WaitFor(TaskbarVisible, seconds * 1000.0) ? 0 : 1;
}

int Quit(const char* windowClass, int quits) {
    HWND window = FindWindowA(windowClass, nullptr);
    if (!window) return 1;
    PostQuits(window, quits);
    return 0;
}

int Pid(const char* windowClass) {
    HWND window = FindWindowA(windowClass, nullptr);
    if (!window) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::printf("%lu\n", pid);
    return 0;
}

int Counts(DWORD pid) {
    const auto counts = bench::CountProcessObjects(pid);
    if (!counts) return 1;
    std::printf("handles %ld\ngdi %ld\nuser %ld\n", counts->kernelHandles, counts->gdiObjects,
                counts->topLevelWindows);
    return 0;
}

// One cycle: a left press on the tray icon shows the window (and refreshes the status
// twice); with TABS, the Settings tab and then the Status tab are clicked; SC_CLOSE hides
// the window. Waiting for the visibility to change keeps the queue short.
bool Cycle(HWND hwnd, bool tabs) {
    PostMessageA(hwnd, kTrayCallback, 1, WM_LBUTTONDOWN);
    if (!WaitFor([&] { return IsWindowVisible(hwnd) != FALSE; }, 10000)) return false;
    if (tabs) {
        PostClick(hwnd, 14 + 47, 90 + 17);  // imgSettingsTab
        PostClick(hwnd, 14 + 47, 52 + 17);  // imgStatusTab
    }
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitFor([&] { return !IsWindowVisible(hwnd); }, 10000);
}

int Cycles(const char* windowClass, int shows, int tabCycles) {
    HWND hwnd = FindWindowA(windowClass, nullptr);
    if (!hwnd) return 1;
    for (int i = 0; i < shows; ++i)
        if (!Cycle(hwnd, false)) {
            std::fprintf(stderr, "bench-probe: show %d did not complete\n", i);
            return 1;
        }
    for (int i = 0; i < tabCycles; ++i)
        if (!Cycle(hwnd, true)) {
            std::fprintf(stderr, "bench-probe: tab cycle %d did not complete\n", i);
            return 1;
        }
    return 0;
}

int Scale(const char* windowClass, int rounds, int dpiCount, char** dpis) {
    HWND hwnd = FindWindowA(windowClass, nullptr);
    if (!hwnd) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    win32::UniqueHandle process(OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!process) return 1;
    PostMessageA(hwnd, kTrayCallback, 1, WM_LBUTTONDOWN);
    if (!WaitFor([&] { return IsWindowVisible(hwnd) != FALSE; }, 10000)) return 1;
    for (int r = 0; r < rounds; ++r)
        for (int i = 0; i < dpiCount; ++i)
            if (!SendScaleChange(hwnd, process.get(), std::atoi(dpis[i]))) {
                std::fprintf(stderr, "bench-probe: scale change %d did not complete\n", r);
                return 1;
            }
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitFor([&] { return !IsWindowVisible(hwnd); }, 10000) ? 0 : 1;
}

int Usage() {
    std::fputs(
        "usage: bench-probe startup RUNS CLASS QUITS EXE [ARGS...] | wait-tray SECONDS |\n"
        "       quit CLASS QUITS | pid CLASS | counts PID | cycles CLASS SHOWS TABS |\n"
        "       scale CLASS ROUNDS DPI... | first-show RUNS CLASS QUITS EXE [ARGS...] |\n"
        "       shows CLASS N\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string verb = argv[1];
    if (verb == "startup" && argc >= 6)
        return Startup(std::atoi(argv[2]), argv[3], std::atoi(argv[4]), argc - 5, argv + 5);
    if (verb == "wait-tray" && argc == 3) return WaitTray(std::atoi(argv[2]));
    if (verb == "quit" && argc == 4) return Quit(argv[2], std::atoi(argv[3]));
    if (verb == "pid" && argc == 3) return Pid(argv[2]);
    if (verb == "counts" && argc == 3)
        return Counts(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 0)));
    if (verb == "cycles" && argc == 5)
        return Cycles(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (verb == "first-show" && argc >= 6)
        return FirstShow(std::atoi(argv[2]), argv[3], std::atoi(argv[4]), argc - 5, argv + 5);
    if (verb == "shows" && argc == 4) return Shows(argv[2], std::atoi(argv[3]));
    if (verb == "scale" && argc >= 5) return Scale(argv[2], std::atoi(argv[3]), argc - 4, argv + 4);
    return Usage();
}
