// Helpers for Win32 tests that run under Wine. Every wait has a deadline and pumps
// this thread's messages meanwhile, so windows of the test itself keep working.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "tests/support/wine_version.h"

namespace testsupport {

using namespace std::chrono_literals;

// Dispatches this thread's pending messages.
void PumpMessages();

// A deadline as written for programs at full speed, times KORVALEN_DEADLINE_SCALE where
// that is set (scripts/test sets it where i686 programs run emulated, many times
// slower). Every wait below scales its deadline this way.
[[nodiscard]] std::chrono::milliseconds Scaled(std::chrono::milliseconds deadline);

// Polls cond (pumping messages) until it holds or the deadline passes.
[[nodiscard]] bool WaitUntil(const std::function<bool()>& cond,
                             std::chrono::milliseconds deadline = 10s);

// Places the real pointer at the screen point and waits until the system has reported it
// there for a while (100 ms): Wine's X11 side reports each SetCursorPos back late and can
// meanwhile put the pointer back where an earlier placement, maybe of an earlier test
// process, left it. Placed again whenever it moves off.
[[nodiscard]] bool PlacePointer(POINT screen, std::chrono::milliseconds deadline = 10s);

// The bottom-right corner of the screen, away from every centred window.
[[nodiscard]] POINT ScreenCorner();

// Places the real pointer at the screen point and runs check with it there, again and
// again until check holds or the deadline passes. The system's pointer lags behind
// SetCursorPos (Wine's X11 side reports earlier warps late and can put the pointer back
// for a moment), so a single placement followed by a check would depend on that timing.
[[nodiscard]] bool WithPointerAt(POINT screen, const std::function<bool()>& check,
                                 std::chrono::milliseconds deadline = 10s);

// A top-level window by class and title (either may be null), waited for.
[[nodiscard]] HWND WaitForWindow(const char* className, const char* title,
                                 std::chrono::milliseconds deadline = 10s);

// A system message box: its text, and pressing its OK button.
[[nodiscard]] std::string MessageBoxText(HWND box);
void PressMessageBoxOk(HWND box);

// The window's text as GetWindowTextA reports it.
[[nodiscard]] std::string WindowText(HWND hwnd);

// A pixel of the window's client area as the window paints it (through WM_PRINTCLIENT,
// so hidden windows work too), as 0xRRGGBB.
[[nodiscard]] std::optional<unsigned> ClientPixel(HWND hwnd, int x, int y);

// Colour as 0xRRGGBB from a COLORREF (which is 0x00BBGGRR).
[[nodiscard]] constexpr unsigned Rgb(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Runs a program (command line as CreateProcessA takes it) and waits for its end.
// Returns the exit code, or nothing when it could not start or did not end in time
// (it is then terminated).
[[nodiscard]] std::optional<DWORD> RunProgram(const std::string& commandLine,
                                              std::chrono::milliseconds deadline = 30s);

// A hidden message-only window that runs each posted step when its message arrives:
// queued behind messages posted before it, a step sees what they did (or what they are
// still doing, when a nested loop they started dispatches it). Steps run in order.
class PostedSteps {
public:
    PostedSteps();
    ~PostedSteps();
    PostedSteps(const PostedSteps&) = delete;
    PostedSteps& operator=(const PostedSteps&) = delete;
    void Post(std::function<void()> step) const;

private:
    HWND window_ = nullptr;
};

// The directory that holds this test executable, with a trailing backslash.
[[nodiscard]] std::string ExecutableDirectory();

}  // namespace testsupport
