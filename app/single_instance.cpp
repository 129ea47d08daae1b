#include "app/single_instance.h"

#include "app/instance_rules.h"

namespace app {

namespace {

void ShowStartupMessage(HWND owner, const char* text) noexcept {
    MessageBoxA(owner, text, kStartupErrorCaption, MB_OK);
}

// How long a quit request waits for the running panel to end.
constexpr DWORD kQuitWaitMilliseconds = 10000;

// False when the running panel's window cannot be found.
bool AskRunningPanelToQuit() noexcept {
    const HWND panel = FindWindowA(kPanelWindowClass, kPanelWindowText);
    if (!panel) return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(panel, &processId);
    // Opened before the posts, so the handle is the panel's process and no later one's.
    const win32::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    // The first ends the panel's modal loop when it runs, the second the main loop.
    PostMessageA(panel, WM_QUIT, 0, 0);
    PostMessageA(panel, WM_QUIT, 0, 0);
    // The uninstaller runs "-Q" and then removes the program's files: they are free only
    // once the panel's process has ended. Bounded, so a hung panel cannot hold us.
    if (process) WaitForSingleObject(process.get(), kQuitWaitMilliseconds);
    return true;
}

}  // namespace

bool ClaimSingleInstance(HWND messageOwner, bool quitRequested,
                         win32::UniqueHandle& instanceMutex) noexcept {
    try {
        SetLastError(ERROR_SUCCESS);
        win32::UniqueHandle mutex(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
        const DWORD error = GetLastError();
        switch (ClassifyInstance(error, !mutex)) {
            case InstanceState::Another:
                if (quitRequested && AskRunningPanelToQuit()) return false;
                ShowStartupMessage(messageOwner, kAlreadyStartedText);
                return false;
            case InstanceState::Failed:
                ShowStartupMessage(messageOwner, kFatalErrorText);
                return false;
            case InstanceState::First:
                // Never waited on or owned: its existence marks the running instance.
                instanceMutex = std::move(mutex);
                return true;
        }
    } catch (...) {
    }
    ShowStartupMessage(messageOwner, kFatalErrorText);
    return false;
}

}  // namespace app
