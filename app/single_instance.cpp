#include "app/single_instance.h"

#include "app/instance_rules.h"

namespace app {

namespace {

void ShowStartupMessage(HWND owner, const char* text) noexcept {
    MessageBoxA(owner, text, kStartupErrorCaption, MB_OK);
}

// How long a quit request waits for the running panel to end.
constexpr DWORD kQuitWaitMilliseconds = 10000;

// Waits for the object with a deadline, dispatching this thread's messages meanwhile: the
// application's hidden top-level window exists all that time, and a message sent to every
// top-level window (a broadcast, the end of the session) must not stall on it. A quit
// message sent to this process ends the wait.
void WaitDispatching(HANDLE object, DWORD milliseconds) noexcept {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        const DWORD waited = MsgWaitForMultipleObjects(1, &object, FALSE,
                                                       static_cast<DWORD>(end - now), QS_ALLINPUT);
        if (waited != WAIT_OBJECT_0 + 1) return;  // ended, timed out or failed
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// False when the running panel's window cannot be found or cannot be reached.
bool AskRunningPanelToQuit(PostFunction post) noexcept {
    const HWND panel = FindWindowA(kPanelWindowClass, kPanelWindowText);
    if (!panel) return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(panel, &processId);
    // Opened before the posts, so the handle is the panel's process and no later one's.
    const win32::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    // The first ends the panel's modal loop when it runs, the second the main loop.
    const bool firstPosted = post(panel, WM_QUIT, 0, 0) != FALSE;
    const bool secondPosted = post(panel, WM_QUIT, 0, 0) != FALSE;
    // Both refused: the panel runs at a higher integrity level than this request, and
    // the user has to learn that it was not closed.
    if (!firstPosted && !secondPosted) return false;
    // The uninstaller runs "-Q" and then removes the program's files: they are free only
    // once the panel's process has ended. Bounded, so a hung panel cannot hold us.
    if (process) WaitDispatching(process.get(), kQuitWaitMilliseconds);
    return true;
}

}  // namespace

bool ClaimSingleInstance(HWND messageOwner, bool quitRequested, win32::UniqueHandle& instanceMutex,
                         PostFunction post) noexcept {
    try {
        SetLastError(ERROR_SUCCESS);
        win32::UniqueHandle mutex(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
        const DWORD error = GetLastError();
        switch (ClassifyInstance(error, !mutex)) {
            case InstanceState::Another:
                if (quitRequested && AskRunningPanelToQuit(post)) return false;
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
        // Swallowed because this function may not throw: whatever went wrong while the
        // instance was being claimed, start-up ends with the fatal-error message below.
    }
    ShowStartupMessage(messageOwner, kFatalErrorText);
    return false;
}

}  // namespace app
