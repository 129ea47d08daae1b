#include "ctl/quit_panel.h"

#include "app/instance_rules.h"
#include "win32/unique_win.h"

#include <windows.h>

#include <cstring>

namespace ctl {

namespace {

// The panel program's application window, titled once start-up has read the settings; it
// exists before the panel window does and while the start-time disable's message is up.
constexpr char kApplicationWindowClass[] = "ToolkitApplicationWindow";
constexpr DWORD kPollMilliseconds = 100;
// Quit messages are posted again at this spacing: a panel still starting has no window
// yet, and each quit ends only the innermost of its loops.
constexpr int kPostEveryPolls = 3;

bool HasClassAndTitle(HWND window, const char* className, const char* title) {
    char buffer[64] = {};
    if (GetClassNameA(window, buffer, sizeof buffer) == 0 || std::strcmp(buffer, className) != 0)
        return false;
    buffer[0] = '\0';
    GetWindowTextA(window, buffer, sizeof buffer);
    return std::strcmp(buffer, title) == 0;
}

BOOL CALLBACK PostQuitToPanelWindow(HWND window, LPARAM) {
    if (HasClassAndTitle(window, app::kPanelWindowClass, app::kPanelWindowText) ||
        HasClassAndTitle(window, kApplicationWindowClass, app::kApplicationTitle))
        PostMessageA(window, WM_QUIT, 0, 0);
    return TRUE;
}

}  // namespace

bool PanelInstanceRuns() {
    const win32::UniqueHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, app::kInstanceMutexName));
    // Denied: it exists, made by a process of a higher integrity level.
    return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}

bool QuitPanel(std::chrono::milliseconds deadline) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(deadline.count());
    for (int poll = 0;; ++poll) {
        if (!PanelInstanceRuns()) return true;
        if (GetTickCount64() >= end) return false;
        if (poll % kPostEveryPolls == 0) EnumWindows(&PostQuitToPanelWindow, 0);
        // This process has no window and no message queue that anyone waits on.
        Sleep(kPollMilliseconds);
    }
}

}  // namespace ctl
