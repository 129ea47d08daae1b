#include "tests/support/test_thread.h"

#include <utility>

namespace testsupport {

namespace {

DWORD WINAPI RunBody(LPVOID body) {
    (*static_cast<std::function<void()>*>(body))();
    return 0;
}

}  // namespace

TestThread::TestThread(std::function<void()> body)
    : body_(std::move(body)), thread_(::CreateThread(nullptr, 0, RunBody, &body_, 0, nullptr)) {
    // Without a thread the body runs here, so that what the test waits for still happens.
    if (!thread_) body_();
}

void TestThread::Join() {
    if (thread_) ::WaitForSingleObject(thread_.get(), INFINITE);
}

}  // namespace testsupport
