// UpdateStatus on the real window: fields, labels, the balloon it asks for, the save;
// and the balloon record itself.
#include "settings/settings_store.h"
#include "tests/ui/panel_fixture.h"

#include <cstdint>

using namespace paneltest;

namespace {

class Status : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        settings::Messages = 0;
        panel->RefreshStatusProc = &RefreshStatusSlot;
    }
    void Reading(std::uint8_t result, std::uint8_t state, std::uint8_t flags) {
        TheWorld().driverResult = result;
        TheWorld().hypervisorState = state;
        TheWorld().problemFlags = flags;
    }
};

}  // namespace

TEST_F(Status, FirstEvaluationEverShowsTheInformationBalloonAndSaves) {
    Reading(0, 0, 0);
    Refresh(true);
    EXPECT_EQ(panel->lbGeneralStatus.Text(), "Hypervisor enabled");
    EXPECT_EQ(panel->lbGeneralDescription.Text(), "Hypervisor works properly\n\r");
    const auto balloons = Balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].title, "Korvalen");
    EXPECT_EQ(balloons[0].text, "Korvalen is started and works properly");
    EXPECT_EQ(balloons[0].kind, 1u);
    EXPECT_EQ(settings::Messages, 1);
    EXPECT_EQ(TheWorld().saves, 1);
    EXPECT_TRUE(Evaluation().BalloonShown);
}

TEST_F(Status, RefreshWithoutResetRewritesEverythingButShowsNoBalloon) {
    Reading(0, 1, 0);
    Refresh(true);
    ASSERT_EQ(Balloons().size(), 1u);
    Reading(254, 2, 0x08);
    Refresh(false);
    EXPECT_EQ(Balloons().size(), 1u);
    EXPECT_EQ(panel->DriverResult, 254);
    EXPECT_EQ(panel->HypervisorState, 2);
    EXPECT_EQ(panel->ProblemFlags, 0x08);
    EXPECT_EQ(panel->lbGeneralStatus.Text(), "General error");
    EXPECT_EQ(panel->lbGeneralDescription.Text(), "Failed connect to Korvalen driver");
    EXPECT_EQ(TheWorld().saves, 2);
}

TEST_F(Status, DriverErrorGivesTheErrorBalloonWhateverMessagesHolds) {
    settings::Messages = 0x103;
    Reading(255, 0, 0);
    Refresh(true);
    EXPECT_EQ(panel->lbGeneralDescription.Text(), "Korvalen driver works with errors");
    const auto balloons = Balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].text, "Korvalen works with errors");
    EXPECT_EQ(balloons[0].kind, 3u);
    EXPECT_EQ(settings::Messages, 0x103) << "other bits kept";
}

TEST_F(Status, LegacyNoticeShowsTwiceThenNoMore) {
    Reading(0, 2, 0);
    for (int i = 0; i < 3; ++i) Refresh(true);
    const auto balloons = Balloons();
    ASSERT_EQ(balloons.size(), 2u);
    EXPECT_EQ(balloons[1].text, "Korvalen does work in Legacy Mode");
    EXPECT_EQ(balloons[1].kind, 2u);
    EXPECT_EQ(settings::Messages, 3);
}

TEST_F(Status, ShowBalloonCutsTextAndTitleAndKeepsTheIconFlags) {
    panel->ShowBalloon(std::string(70, 'T'), std::string(300, 'x'), 2);
    const auto& last = TheWorld().shell.back();
    EXPECT_EQ(last.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(std::string(last.data.szInfo), std::string(255, 'x'));
    EXPECT_EQ(std::string(last.data.szInfoTitle), std::string(63, 'T'));
    EXPECT_EQ(last.data.uTimeout, 3000u);
    EXPECT_EQ(last.data.uFlags, 7u | NIF_INFO);
    EXPECT_EQ(last.data.dwInfoFlags, 2u);
    EXPECT_EQ(last.data.cbSize, ui::kTrayIconDataSize);
    EXPECT_EQ(last.data.hWnd, hwnd);
    EXPECT_EQ(last.data.uID, 1u);

    panel->ShowBalloon("Korvalen", "short", 0);
    EXPECT_EQ(std::string(TheWorld().shell.back().data.szInfo), "short");
    EXPECT_EQ(TheWorld().shell.back().data.dwInfoFlags, 0u);
}
