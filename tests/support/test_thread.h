// A second actor for a test (a presser of a modal window's button, a concurrent reader),
// on a thread of its own and joined when it goes. The program's compiler has no std::thread
// (the win32 thread model of GCC 12), so it runs on CreateThread.
#pragma once

#include <windows.h>

#include <functional>

#include "win32/unique_win.h"

namespace testsupport {

class TestThread {
public:
    explicit TestThread(std::function<void()> body);
    ~TestThread() { Join(); }
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    // Waits for the body to end; at once if it has.
    void Join();

private:
    std::function<void()> body_;
    win32::UniqueHandle thread_;
};

}  // namespace testsupport
