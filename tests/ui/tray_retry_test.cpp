// A notification area that is not ready: the shell refuses the add for a while. The icon
// comes once the refusals end, a balloon due meanwhile comes with it, and no timer is left
// running. The shell and the window timer are recorders; time passes only as the recorded
// waits add up, so nothing here really waits.
#include "ui/tray_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// A shell that refuses adds while refusing() says so, and otherwise holds one icon.
struct FakeShell {
    int refusalsLeft = 0;  // adds refused before the first is taken; -1: by the clock
    std::uint64_t refuseUntilMs = 0;
    std::uint64_t nowMs = 0;  // the sum of the waits the timer was asked for and ran
    bool hasIcon = false;
    int adds = 0;
    std::vector<std::string> balloons;  // the text of each balloon the icon showed
    UINT_PTR timerId = 0;               // the running timer; 0: none
    UINT timerDelay = 0;
    int timersSet = 0;

    bool Refusing() {
        if (refusalsLeft > 0) return refusalsLeft--, true;
        return refusalsLeft < 0 && nowMs < refuseUntilMs;
    }
};
FakeShell g_shell;

BOOL WINAPI Shell(DWORD message, NOTIFYICONDATAA* data) {
    switch (message) {
        case NIM_ADD:
            ++g_shell.adds;
            if (g_shell.hasIcon || g_shell.Refusing()) return FALSE;
            g_shell.hasIcon = true;
            return TRUE;
        case NIM_MODIFY:
            if (!g_shell.hasIcon) return FALSE;
            if (data->uFlags & NIF_INFO) g_shell.balloons.emplace_back(data->szInfo);
            return TRUE;
        case NIM_DELETE: {
            const bool had = g_shell.hasIcon;
            g_shell.hasIcon = false;
            return had;
        }
        default: return FALSE;
    }
}

UINT_PTR WINAPI SetTimerRecord(HWND, UINT_PTR id, UINT delay, TIMERPROC) {
    g_shell.timerId = id;
    g_shell.timerDelay = delay;
    ++g_shell.timersSet;
    return id;
}

BOOL WINAPI KillTimerRecord(HWND, UINT_PTR id) {
    if (g_shell.timerId != id) return FALSE;
    g_shell.timerId = 0;
    return TRUE;
}

constexpr ui::TrayTimer kRecordedTimer{&SetTimerRecord, &KillTimerRecord};

std::unique_ptr<ui::TrayIcon> MakeIcon() {
    return std::make_unique<ui::TrayIcon>(nullptr, win32::UniqueIcon{},
                                          std::make_unique<toolkit::PopupMenu>(), &Shell,
                                          kRecordedTimer);
}

// Lets the running timer fire, as the window's WM_TIMER would; false when none runs.
bool FireTimer(ui::TrayIcon& icon) {
    if (g_shell.timerId == 0) return false;
    EXPECT_EQ(g_shell.timerId, ui::kTrayRetryTimerId);
    g_shell.nowMs += g_shell.timerDelay;
    icon.RetryAdd();
    return true;
}

class TrayRetry : public ::testing::Test {
protected:
    void SetUp() override { g_shell = {}; }
};

}  // namespace

TEST_F(TrayRetry, RefusedAddsAreTriedAgainUntilTheIconComesThenNoTimerRuns) {
    for (const int refusals : {1, 5}) {
        g_shell = {};
        g_shell.refusalsLeft = refusals;
        auto icon = MakeIcon();
        EXPECT_FALSE(g_shell.hasIcon);
        std::vector<UINT> waits;
        while (!g_shell.hasIcon) {
            waits.push_back(g_shell.timerDelay);
            ASSERT_TRUE(FireTimer(*icon)) << "a refused add leaves a try to come";
            ASSERT_LT(waits.size(), 10u);
        }
        EXPECT_EQ(g_shell.adds, refusals + 1) << "each timer brings one add";
        const std::vector<UINT> expected = refusals == 1
                                               ? std::vector<UINT>{1000}
                                               : std::vector<UINT>{1000, 2000, 4000, 8000, 16000};
        EXPECT_EQ(waits, expected);
        EXPECT_EQ(g_shell.timerId, 0u) << "no timer runs once the icon is there";
        const int set = g_shell.timersSet;
        icon->RetryAdd();  // a WM_TIMER already queued when the timer was stopped
        EXPECT_EQ(g_shell.adds, refusals + 1);
        EXPECT_EQ(g_shell.timersSet, set);
    }
}

TEST_F(TrayRetry, AShellRefusingForAMinuteGetsTheIconAtTheFirstTryAfterWithThe30SecondCap) {
    g_shell.refusalsLeft = -1;
    g_shell.refuseUntilMs = 60000;
    auto icon = MakeIcon();
    icon->ShowBalloon("Korvalen", "first", 1);
    icon->ShowBalloon("Korvalen", "last", 2);
    EXPECT_TRUE(g_shell.balloons.empty()) << "no icon, no balloon yet";
    std::vector<UINT> waits;
    while (!g_shell.hasIcon) {
        waits.push_back(g_shell.timerDelay);
        ASSERT_TRUE(FireTimer(*icon));
        ASSERT_LT(waits.size(), 20u);
    }
    EXPECT_EQ(waits, (std::vector<UINT>{1000, 2000, 4000, 8000, 16000, 30000}));
    EXPECT_GE(g_shell.nowMs, 60000u);
    EXPECT_EQ(g_shell.balloons, std::vector<std::string>{"last"})
        << "the balloon due comes with the icon, the last one only";
    EXPECT_EQ(g_shell.timerId, 0u);
    icon->ShowBalloon("Korvalen", "after", 1);
    EXPECT_EQ(g_shell.balloons, (std::vector<std::string>{"last", "after"}));
}

TEST_F(TrayRetry, AnAddTakenAtOnceSetsNoTimerAndShowsBalloonsAsTheyCome) {
    auto icon = MakeIcon();
    EXPECT_TRUE(g_shell.hasIcon);
    EXPECT_EQ(g_shell.timersSet, 0);
    icon->ShowBalloon("Korvalen", "now", 1);
    EXPECT_EQ(g_shell.balloons, std::vector<std::string>{"now"});
    icon.reset();
    EXPECT_FALSE(g_shell.hasIcon) << "the icon goes with the object";
}

TEST_F(TrayRetry, ANewTaskbarAddsTheIconAtOnceAndStopsTheRetry) {
    g_shell.refusalsLeft = 3;
    auto icon = MakeIcon();
    ASSERT_NE(g_shell.timerId, 0u);
    icon->ShowBalloon("Korvalen", "due", 3);
    g_shell.refusalsLeft = 0;  // the taskbar is up and announces itself
    icon->ReAdd();
    EXPECT_TRUE(g_shell.hasIcon);
    EXPECT_EQ(g_shell.timerId, 0u);
    EXPECT_EQ(g_shell.balloons, std::vector<std::string>{"due"});
    // A taskbar that announces itself and still refuses starts the waits over.
    g_shell.hasIcon = false;
    g_shell.refusalsLeft = 1;
    icon->ReAdd();
    EXPECT_FALSE(g_shell.hasIcon);
    EXPECT_EQ(g_shell.timerDelay, 1000u);
    ASSERT_TRUE(FireTimer(*icon));
    EXPECT_TRUE(g_shell.hasIcon);
    EXPECT_EQ(g_shell.timerId, 0u);
    EXPECT_EQ(g_shell.balloons, std::vector<std::string>{"due"}) << "shown once only";
}

TEST_F(TrayRetry, AnAddThatTimedOutButWasTakenIsFoundAtTheNextTry) {
    // The shell took the icon but the call reported a time-out: the next add is refused
    // because the icon is there, and the retry has to see that it is.
    g_shell.refusalsLeft = 1;
    auto icon = MakeIcon();
    g_shell.hasIcon = true;
    icon->ShowBalloon("Korvalen", "due", 1);
    ASSERT_TRUE(FireTimer(*icon));
    EXPECT_EQ(g_shell.timerId, 0u);
    EXPECT_EQ(g_shell.balloons, std::vector<std::string>{"due"});
}
