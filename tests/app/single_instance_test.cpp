// A quit request that finds the running panel's window but cannot reach it, in-process
// under Wine with the post replaced: as where the panel runs at a higher integrity level.
#include "app/single_instance.h"
#include "tests/support/test_thread.h"
#include "tests/support/wine_test_support.h"
#include "win32/unique_win.h"

#include <gtest/gtest.h>

#include <string>

using namespace testsupport;

namespace {

int g_quitPosts = 0;

BOOL WINAPI RefusedPost(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_QUIT) ++g_quitPosts;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// A window of the running panel's class and title, in this process.
class PanelStandIn {
public:
    PanelStandIn() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TfrmControlPanel";
        RegisterClassA(&wc);
        window_.reset(CreateWindowExA(0, "TfrmControlPanel", "Korvalen status", WS_POPUP, 0, 0, 10,
                                      10, nullptr, nullptr, wc.hInstance, nullptr));
    }
    PanelStandIn(const PanelStandIn&) = delete;
    PanelStandIn& operator=(const PanelStandIn&) = delete;
    // The class goes with the window: a panel made later in this process registers the
    // same class name with its own window procedure.
    ~PanelStandIn() {
        window_.reset();
        UnregisterClassA("TfrmControlPanel", GetModuleHandleA(nullptr));
    }
    [[nodiscard]] HWND Handle() const { return window_.get(); }

private:
    win32::UniqueWindow window_;
};

}  // namespace

TEST(SingleInstance, AQuitRequestThatCannotReachTheRunningPanelSaysItIsAlreadyStarted) {
    // This test holds the instance mutex and the panel's window: an instance "runs".
    win32::UniqueHandle running(CreateMutexA(nullptr, FALSE, "KorvalenInstanceMutex"));
    ASSERT_TRUE(running);
    PanelStandIn panel;
    ASSERT_NE(panel.Handle(), nullptr);

    std::string shown;
    testsupport::TestThread presser([&shown] {
        const HWND box = WaitForWindow("#32770", "Error");
        if (!box) return;
        shown = MessageBoxText(box);
        PressMessageBoxOk(box);
    });
    win32::UniqueHandle mutex;
    const bool first = app::ClaimSingleInstance(nullptr, true, mutex, &RefusedPost);
    presser.Join();
    EXPECT_FALSE(first);
    EXPECT_FALSE(mutex);
    EXPECT_EQ(g_quitPosts, 2) << "both quit messages were tried";
    EXPECT_EQ(shown, "Control panel is already started.");
}
