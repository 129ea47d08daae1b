// Answers the panel's message windows from inside their modal loops: tests that show one
// cannot act on it from their own code until the loop ends.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

namespace testsupport {

// The message window when it is up, else null.
inline HWND VisibleMessageWindow() {
    HWND box = FindWindowA("TfrmMessageBox", nullptr);
    return box && IsWindowVisible(box) ? box : nullptr;
}

// Runs an action once for every message window that appears, from a thread timer that the
// window's modal loop dispatches. A window is marked when handled, so that an action that
// leaves it up is not run again on the next tick.
class OnEachMessageWindow {
public:
    explicit OnEachMessageWindow(std::function<void(HWND)> action) {
        action_ = std::move(action);
        timer_ = SetTimer(nullptr, 0, 10, &Tick);
    }
    ~OnEachMessageWindow() {
        KillTimer(nullptr, timer_);
        action_ = nullptr;
    }
    OnEachMessageWindow(const OnEachMessageWindow&) = delete;
    OnEachMessageWindow& operator=(const OnEachMessageWindow&) = delete;

private:
    static constexpr char kHandled[] = "KorvalenTestHandled";

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND box = VisibleMessageWindow();
        if (!box || GetPropA(box, kHandled) || !action_) return;
        SetPropA(box, kHandled, reinterpret_cast<HANDLE>(1));
        action_(box);
    }
    static inline std::function<void(HWND)> action_;
    UINT_PTR timer_ = 0;
};

}  // namespace testsupport
