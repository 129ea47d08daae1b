// Notices a walk that has stopped moving. A call that never returns (a screen reader's read
// of a panel that does not answer, a message sent to it) would otherwise hold the probe
// until the outer time limit kills it without a word. The walk marks progress at every
// step and every poll; when none comes for the limit, the watchdog says where the walk
// stood and whether the panel's window still answers messages, ends the panel and ends the
// probe with 1.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>

#include "win32/unique_win.h"

namespace soak {

class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // The walk is at this step (its action), doing this; both strings live as long as the
    // program.
    void Mark(long step, const char* action, const char* doing) noexcept;
    // The same step, doing something else.
    void Mark(const char* doing) noexcept;
    // Still moving, doing the same.
    void Mark() noexcept;
    // The panel being walked, asked and ended when the walk is stuck.
    void Watch(HWND panel, HANDLE process) noexcept;

private:
    static DWORD WINAPI Run(LPVOID self);
    void Stuck() const;

    std::chrono::seconds limit_;
    std::atomic<long long> lastMark_;  // GetTickCount64 of the last mark
    std::atomic<long> step_{0};
    std::atomic<const char*> action_{"start"};
    std::atomic<const char*> doing_{"starting the panel"};
    std::atomic<HWND> panel_{nullptr};
    std::atomic<HANDLE> process_{nullptr};
    win32::UniqueHandle stop_;
    win32::UniqueHandle thread_;
};

}  // namespace soak
