// One control panel per logon session: the named mutex, and what a second start does.
#pragma once

#include "win32/unique_win.h"

namespace app {

// The call that posts the quit messages to the running panel: PostMessageA, or a test's
// stand-in.
using PostFunction = BOOL(WINAPI*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the instance mutex. For the first instance it returns true and hands the mutex
// to instanceMutex. Otherwise it has already done all that a second start does (asked the
// running panel to quit, or shown why it ends) and returns false: the program ends.
// messageOwner owns the message boxes.
[[nodiscard]] bool ClaimSingleInstance(HWND messageOwner, bool quitRequested,
                                       win32::UniqueHandle& instanceMutex,
                                       PostFunction post = &PostMessageA) noexcept;

}  // namespace app
