// The panel's tray icon when the notification area is not ready: the panel's own window
// timer brings the retry, and a balloon due meanwhile comes with the icon.
#include "tests/ui/panel_fixture.h"

using namespace paneltest;

namespace {

class TrayRetryPanel : public PanelTest {};

}  // namespace

TEST_F(TrayRetryPanel, ARefusedAddIsRetriedOnTheWindowsTimerWithTheBalloonDueMeanwhile) {
    panel.reset();
    TheWorld().shell.clear();
    TheWorld().shellAnswers = false;  // the notification area takes nothing yet
    panel = toolkit::MakeForm<ui::TfrmControlPanel>(app, &RecordShell);
    hwnd = panel->Handle();
    EXPECT_FALSE(panel->TrayIconAdded());
    panel->ShowBalloon("Korvalen", "first", 1);
    panel->ShowBalloon("Korvalen", "last", 2);
    EXPECT_TRUE(Balloons().empty()) << "no balloon without an icon";

    // Still refused at the first retry: the timer is set again.
    SendMessageA(hwnd, WM_TIMER, ui::kTrayRetryTimerId, 0);
    EXPECT_FALSE(panel->TrayIconAdded());

    TheWorld().shellAnswers = true;
    SendMessageA(hwnd, WM_TIMER, ui::kTrayRetryTimerId, 0);
    EXPECT_TRUE(panel->TrayIconAdded());
    const auto balloons = Balloons();
    ASSERT_EQ(balloons.size(), 1u) << "the last balloon due, once";
    EXPECT_EQ(balloons[0].text, "last");
    EXPECT_EQ(balloons[0].kind, 2u);
    EXPECT_FALSE(KillTimer(hwnd, ui::kTrayRetryTimerId)) << "no timer runs once the icon is there";
    const std::size_t calls = TheWorld().shell.size();
    SendMessageA(hwnd, WM_TIMER, ui::kTrayRetryTimerId, 0);  // one already queued
    EXPECT_EQ(TheWorld().shell.size(), calls) << "a late timer costs no shell call";
}

TEST_F(TrayRetryPanel, AnIconAddedAtOnceSetsNoTimer) {
    EXPECT_TRUE(panel->TrayIconAdded());
    EXPECT_FALSE(KillTimer(hwnd, ui::kTrayRetryTimerId));
}
