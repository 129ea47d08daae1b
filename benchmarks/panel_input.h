// Input for the control panel from another process in its desktop, as the system or the
// user would give it: clicks at places of the 96-DPI layout, and scale changes.
#pragma once

#include <windows.h>

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

}  // namespace bench
