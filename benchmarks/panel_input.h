// Input for the control panel from another process in its desktop, as the system or the
// user would give it: clicks at places of the 96-DPI layout, and scale changes.
#pragma once

#include <windows.h>

#include <optional>

#include "win32/unique_win.h"

namespace bench {

// The tray icon's callback message.
inline constexpr UINT kTrayCallback = WM_USER + 1;

// A click at a place of the window's client area, as the window's own mouse messages. X and
// Y are in the 96-DPI layout (595 wide): the program lays itself out at its own scale, so
// they are scaled by its client width. Unscaled, at 144 DPI the clicks meant for the tabs
// hit the Status tab and the background above it, which starts a system move instead.
void PostClick(HWND hwnd, int x, int y);

// WM_DPICHANGED as the system sends it: the new DPI in both halves of wParam and, in
// lParam, the address of the suggested window rectangle, in the receiving process (which
// PROCESS must allow to be written).
bool SendScaleChange(HWND hwnd, HANDLE process, int dpi);

// A hidden window of the measuring program's own, to which a form posts the report of its
// next whole paint (toolkit/paint_report.h).
class PaintReporter {
public:
    PaintReporter();
    [[nodiscard]] HWND Handle() const noexcept { return window_.get(); }
    // Asks HWND to report its next whole paint; a report left from before is dropped.
    void Request(HWND hwnd) const;
    // The report's performance-counter stamp, once it has come within TIMEOUT_MS.
    [[nodiscard]] std::optional<DWORD> Wait(DWORD timeoutMs) const;

private:
    win32::UniqueWindow window_;
};

}  // namespace bench
