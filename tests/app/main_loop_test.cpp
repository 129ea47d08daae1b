// Start-up's plain message loop, in-process under Wine: it ends at a quit message, and also
// after a dispatch that left the application terminating (a modal loop inside took the
// quit message meant for it, as when Exit is chosen while the message window is up).
#include "app/main_loop.h"
#include "tests/support/wine_test_support.h"
#include "ui/form_message_box.h"
#include "win32/unique_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Chooses Exit, as the tray menu does (the application marked terminating, one quit
// message), once the message window is up.
toolkit::Application* g_exitFrom = nullptr;

void CALLBACK ExitWhileTheMessageIsUp(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("TfrmMessageBox", nullptr);
    if (!g_exitFrom || !box || !IsWindowVisible(box)) return;
    g_exitFrom->SetTerminating();
    PostQuitMessage(0);
    g_exitFrom = nullptr;
}

class MainLoop : public ::testing::Test {
protected:
    toolkit::Application application{"Korvalen control panel"};
    testsupport::PostedSteps steps;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(MainLoop, RunsDispatchedMessagesUntilAQuitMessage) {
    steps.Post([&] { log.push_back("first"); });
    steps.Post([&] { log.push_back("second"); });
    PostQuitMessage(0);  // taken once nothing else is queued
    app::RunMainLoop(application);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
    EXPECT_FALSE(application.Terminating());
}

TEST_F(MainLoop, ExitChosenWhileTheMessageWindowIsUpEndsTheProgram) {
    steps.Post([&] {
        // The message window's modal loop takes Exit's one quit message.
        g_exitFrom = &application;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, &ExitWhileTheMessageIsUp);
        ui::ShowMessageWindow(&application, "Korvalen driver works with errors");
        KillTimer(nullptr, timer);
        log.push_back("message closed");
        // Whatever comes after must not be dispatched: the loop is over.
        steps.Post([&] { log.push_back("dispatched after Exit"); });
        PostQuitMessage(0);  // ends the loop in any case, so a failure does not hang
    });
    app::RunMainLoop(application);
    EXPECT_EQ(log, (std::vector<std::string>{"message closed"}));
    EXPECT_TRUE(application.Terminating());
}
