#include "benchmarks/soak_watchdog.h"

#include <cstdio>
#include <cstdlib>

namespace soak {

Watchdog::Watchdog(std::chrono::seconds limit)
    : limit_(limit),
      lastMark_(static_cast<long long>(GetTickCount64())),
      stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread_.reset(CreateThread(nullptr, 0, &Watchdog::Run, this, 0, nullptr));
}

Watchdog::~Watchdog() {
    if (stop_) SetEvent(stop_.get());
    if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
}

void Watchdog::Mark(long step, const char* action, const char* doing) noexcept {
    step_ = step;
    action_ = action;
    Mark(doing);
}

void Watchdog::Mark(const char* doing) noexcept {
    doing_ = doing;
    Mark();
}

void Watchdog::Mark() noexcept {
    lastMark_ = static_cast<long long>(GetTickCount64());
}

void Watchdog::Watch(HWND panel, HANDLE process) noexcept {
    panel_ = panel;
    process_ = process;
    Mark();
}

DWORD WINAPI Watchdog::Run(LPVOID self) {
    auto& dog = *static_cast<Watchdog*>(self);
    const auto limitMs = static_cast<long long>(dog.limit_.count()) * 1000;
    while (WaitForSingleObject(dog.stop_.get(), 1000) == WAIT_TIMEOUT) {
        if (static_cast<long long>(GetTickCount64()) - dog.lastMark_ < limitMs) continue;
        dog.Stuck();
        std::fflush(stdout);
        // The main thread is inside the call that never returned: nothing to go back to.
        std::_Exit(1);
    }
    return 0;
}

void Watchdog::Stuck() const {
    const HWND panel = panel_;
    DWORD_PTR ignored = 0;
    const bool answers =
        panel && SendMessageTimeoutA(panel, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000,
                                     &ignored) != 0;
    std::printf("soak: step %ld (%s): no progress for %lld s while %s; the panel's window %s\n",
                step_.load(), action_.load(), static_cast<long long>(limit_.count()), doing_.load(),
                !panel             ? "was not known"
                : !IsWindow(panel) ? "is gone"
                : answers          ? "answers messages"
                                   : "does not answer messages (hung)");
    if (const HANDLE process = process_) TerminateProcess(process, 1);
}

}  // namespace soak
