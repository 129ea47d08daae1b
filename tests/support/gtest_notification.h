// Forced into GoogleTest and the tests where the compiler's thread model has no std::mutex
// (the win32 model of GCC 12, which the program is built with because the posix model
// brings a threads library, some 27 kB of code and unwinding tables, into an exe that never
// starts a thread).
// GoogleTest's Notification is the one class of its port that needs std::mutex; it serves
// only GoogleTest's own thread tests, so this one waits on an atomic flag.
#pragma once

#include <atomic>
#include <thread>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) std::this_thread::yield();
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
