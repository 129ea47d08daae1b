// Where a form goes on the monitors: centred at its first show, and kept on a monitor.
#include "toolkit/form.h"
#include "toolkit/placement.h"
#include "toolkit/scale.h"

#include <algorithm>
#include <vector>

namespace toolkit {

namespace {

Box BoxOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

MONITORINFO InfoOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    return info;
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    reinterpret_cast<std::vector<Box>*>(areas)->push_back(BoxOf(InfoOf(monitor).rcWork));
    return TRUE;
}

}  // namespace

void Form::CentreOnScreen() {
    // The owner is the application's hidden window; the window the user works in is its
    // last active one (the panel whose command opens a message), when shown.
    const HWND self = window_.get();
    const HWND owner = GetWindow(self, GW_OWNER);
    const HWND working = owner ? GetLastActivePopup(owner) : nullptr;
    const HMONITOR monitor = working && working != self && IsWindowVisible(working)
                                 ? MonitorFromWindow(working, MONITOR_DEFAULTTOPRIMARY)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    const RECT screen = InfoOf(monitor).rcMonitor;
    const int width = ScaleToDpi(description_.width, dpi_);
    const int height = ScaleToDpi(description_.height, dpi_);
    const int left =
        std::max<int>(screen.left, screen.left + (screen.right - screen.left - width) / 2);
    const int top =
        std::max<int>(screen.top, screen.top + (screen.bottom - screen.top - height) / 2);
    SetWindowPos(self, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::KeepOnAMonitor() {
    RECT r{};
    if (!GetWindowRect(window_.get(), &r)) return;
    std::vector<Box> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    const Box nearest = BoxOf(InfoOf(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST)).rcWork);
    const Box placed = Placed(BoxOf(r), areas, nearest);
    if (placed == BoxOf(r)) return;
    SetWindowPos(window_.get(), nullptr, placed.left, placed.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace toolkit
