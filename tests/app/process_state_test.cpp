// The one owner of process-wide state, in-process under Wine: the panel it makes is wired
// to it, its refresh reaches that panel alone, and it takes the panel's icon along.
#include "app/process_state.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<DWORD> g_shell;
int g_saves = 0;

BOOL WINAPI RecordShell(DWORD message, NOTIFYICONDATAA*) {
    g_shell.push_back(message);
    return TRUE;
}
driver::DriverResult CannotOpen() {
    return driver::kDeviceNotOpened;
}
driver::HypervisorState Nowhere() {
    return driver::kEnabledNowhere;
}
driver::ProblemFlags NoFlags() {
    return 0;
}
void CountSave() {
    ++g_saves;
}

class ProcessStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_shell.clear();
        g_saves = 0;
        settings::Messages = 0;
    }
    static constexpr status::StatusSource kStandIn{&CannotOpen, &Nowhere, &NoFlags, &CountSave};
};

}  // namespace

TEST_F(ProcessStateTest, RefreshStatusWithoutAPanelDoesNothing) {
    app::ProcessState state(kStandIn, &RecordShell);
    state.RefreshStatus(true);
    EXPECT_EQ(g_saves, 0);
    EXPECT_TRUE(g_shell.empty());
}

TEST_F(ProcessStateTest, ThePanelItMakesIsWiredAndItsRefreshSlotReachesIt) {
    app::ProcessState state(kStandIn, &RecordShell);
    ui::TfrmControlPanel& panel = state.CreatePanel();
    EXPECT_EQ(state.Panel(), &panel);
    EXPECT_EQ(g_shell, std::vector<DWORD>{NIM_ADD});
    ASSERT_NE(panel.RefreshStatusProc, nullptr);
    ASSERT_NE(panel.GetSettingsProc, nullptr);
    ASSERT_NE(panel.EnableHypervisorProc, nullptr);

    panel.RefreshStatusProc(true);
    EXPECT_EQ(panel.DriverResult, driver::kDeviceNotOpened);
    EXPECT_EQ(panel.lbGeneralStatus.Text(), "General error");
    EXPECT_EQ(panel.lbGeneralDescription.Text(), "Failed connect to Korvalen driver");
    EXPECT_EQ(g_saves, 1);
    EXPECT_TRUE(state.Status().BalloonShown);
    EXPECT_EQ(g_shell, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY})) << "the error balloon";
}

TEST_F(ProcessStateTest, ItsEndFreesThePanelAndSoRemovesTheIcon) {
    {
        app::ProcessState state(kStandIn, &RecordShell);
        (void)state.CreatePanel();
    }
    EXPECT_EQ(g_shell, (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    EXPECT_EQ(FindWindowA("TfrmControlPanel", "Korvalen status"), nullptr);
    app::ProcessState again(kStandIn, &RecordShell);  // the one instance may be made anew
    again.RefreshStatus(true);
    EXPECT_EQ(g_saves, 0);
}
