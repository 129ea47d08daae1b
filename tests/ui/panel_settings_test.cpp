// The two setting check boxes and their labels, and the Enable and Disable labels.
#include "tests/ui/panel_fixture.h"

#include <cstdint>

using namespace paneltest;
using Log = std::vector<std::string>;

namespace {

class Settings : public PanelTest {
protected:
    void Load(std::int32_t settings, bool autostart) {
        TheWorld().settings = settings;
        TheWorld().autostart = autostart;
        WireLikeStartUp();
    }
};

}  // namespace

TEST_F(Settings, BothOnChecksBothAndStoresTheSettingsWordOnceMore) {
    TheWorld().settings = 0x101;
    TheWorld().autostart = true;
    panel->GetSettingsProc = &GetSettingsSlot;
    panel->SetSettingsProc = &SetSettingsSlot;
    panel->IsAutostartEnabledProc = &IsAutostartEnabledSlot;
    panel->SetAutostartProc = &SetAutostartSlot;
    panel->LoadControlStates();
    EXPECT_EQ(TheWorld().log,
              (Log{"GetSettings", "GetSettings", "SetSettings(257)", "IsAutostartEnabled"}))
        << "no SetAutostart while loading";
    EXPECT_TRUE(panel->chkAutomaticDisable.Checked());
    EXPECT_TRUE(panel->chkAutostartUserCP.Checked());
    EXPECT_TRUE(panel->chkAutomaticDisable.Enabled());
    EXPECT_TRUE(panel->lbAutomaticDisable.Enabled());
    EXPECT_TRUE(panel->ControlsReady);
}

TEST_F(Settings, DisableAtStartWithoutAutostartShowsCheckedButDisabled) {
    Load(1, false);
    EXPECT_TRUE(panel->chkAutomaticDisable.Checked());
    EXPECT_FALSE(panel->chkAutomaticDisable.Enabled());
    EXPECT_FALSE(panel->lbAutomaticDisable.Enabled());
    EXPECT_FALSE(panel->chkAutostartUserCP.Checked());
}

TEST_F(Settings, AutostartAloneEnablesTheDisableBoxAndStoresNothing) {
    TheWorld().autostart = true;
    panel->GetSettingsProc = &GetSettingsSlot;
    panel->SetSettingsProc = &SetSettingsSlot;
    panel->IsAutostartEnabledProc = &IsAutostartEnabledSlot;
    panel->SetAutostartProc = &SetAutostartSlot;
    panel->LoadControlStates();
    EXPECT_EQ(TheWorld().log, (Log{"GetSettings", "IsAutostartEnabled"}));
    EXPECT_TRUE(panel->chkAutostartUserCP.Checked());
    EXPECT_FALSE(panel->chkAutomaticDisable.Checked());
    EXPECT_TRUE(panel->chkAutomaticDisable.Enabled());
}

TEST_F(Settings, NeitherOnRunsNoHandlerAndStoresNothing) {
    panel->GetSettingsProc = &GetSettingsSlot;
    panel->SetSettingsProc = &SetSettingsSlot;
    panel->IsAutostartEnabledProc = &IsAutostartEnabledSlot;
    panel->SetAutostartProc = &SetAutostartSlot;
    panel->LoadControlStates();
    EXPECT_EQ(TheWorld().log, (Log{"GetSettings", "IsAutostartEnabled"}));
    EXPECT_FALSE(panel->chkAutostartUserCP.Checked());
    EXPECT_FALSE(panel->chkAutomaticDisable.Enabled());
}

TEST_F(Settings, UncheckingAutostartKeepsTheDisableMarkButDisablesIt) {
    Load(1, true);
    panel->imgSettingsTabClick(*panel);
    Click(200, 60);  // lbAutostartUserCP
    EXPECT_EQ(TheWorld().log, (Log{"SetAutostart(false)", "IsAutostartEnabled"}));
    EXPECT_FALSE(panel->chkAutostartUserCP.Checked());
    EXPECT_TRUE(panel->chkAutomaticDisable.Checked());
    EXPECT_FALSE(panel->chkAutomaticDisable.Enabled());
    EXPECT_FALSE(panel->lbAutomaticDisable.Enabled());
    EXPECT_EQ(TheWorld().settings, 1);
}

TEST_F(Settings, DoubleClickOnASettingLabelTogglesTwice) {
    Load(0, true);
    panel->imgSettingsTabClick(*panel);
    DoubleClick(200, 60);  // lbAutostartUserCP
    EXPECT_EQ(TheWorld().log, (Log{"SetAutostart(false)", "IsAutostartEnabled",
                                   "SetAutostart(true)", "IsAutostartEnabled"}));
    EXPECT_TRUE(panel->chkAutostartUserCP.Checked());
    TheWorld().log.clear();
    DoubleClick(200, 78);  // lbAutomaticDisable, enabled now
    EXPECT_EQ(TheWorld().log,
              (Log{"GetSettings", "SetSettings(1)", "GetSettings", "SetSettings(0)"}));
    EXPECT_FALSE(panel->chkAutomaticDisable.Checked());
}

TEST_F(Settings, AFailedAutostartSwitchLeavesNoCheckMark) {
    Load(1, false);
    TheWorld().autostartSticks = false;  // the Run key cannot be written
    panel->imgSettingsTabClick(*panel);
    Click(200, 60);
    EXPECT_EQ(TheWorld().log, (Log{"SetAutostart(true)", "IsAutostartEnabled"}))
        << "registered once, not again when the box is set back";
    EXPECT_FALSE(panel->chkAutostartUserCP.Checked());
    EXPECT_FALSE(panel->chkAutomaticDisable.Enabled());
    EXPECT_FALSE(panel->lbAutomaticDisable.Enabled());
}

TEST_F(Settings, UserClickOnTheBoxItselfRegisters) {
    Load(0, false);
    panel->Show();  // which refreshes
    TheWorld().log.clear();
    panel->imgSettingsTabClick(*panel);
    SendMessageA(panel->chkAutostartUserCP.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(TheWorld().log, (Log{"SetAutostart(true)", "IsAutostartEnabled"}));
    EXPECT_TRUE(panel->chkAutostartUserCP.Checked());
    EXPECT_TRUE(panel->lbAutomaticDisable.Enabled());
}

// ---- Enable and Disable ----

namespace {

struct Row {
    std::uint8_t result, state, flags;
    bool enable, disable;
};

class CommandLabels : public PanelTest {
protected:
    void Reading(const Row& r) {
        TheWorld().driverResult = r.result;
        TheWorld().hypervisorState = r.state;
        TheWorld().problemFlags = r.flags;
    }
    void ExpectLabels(bool enable, bool disable, const char* where) {
        EXPECT_EQ(panel->lbEnable.Enabled(), enable) << where;
        EXPECT_EQ(panel->lbDisable.Enabled(), disable) << where;
    }
};

}  // namespace

TEST_F(CommandLabels, LoadControlStatesFollowsTheTable) {
    const Row rows[] = {{254, 0, 0, false, false},
                        {0, 2, 0x01, false, false},
                        {0, 2, 0, true, false},
                        {0, 1, 0x08, false, true},
                        {0, 0, 0, false, true}};
    for (const Row& r : rows) {
        Reading(r);
        WireLikeStartUp();
        ExpectLabels(
            r.enable, r.disable,
            ("state " + std::to_string(r.state) + " result " + std::to_string(r.result)).c_str());
    }
}

TEST_F(CommandLabels, DisableLeavingProblemsMakesEnableAvailable) {
    Reading({0, 0, 0, false, false});
    WireLikeStartUp();
    ExpectLabels(false, true, "start");
    Reading({0, 2, 0x04, false, false});
    Click(260, 210);  // lbDisable
    EXPECT_EQ(TheWorld().log, (Log{"Disable", "Refresh(true)"}));
    ExpectLabels(true, false, "after Disable");
    EXPECT_EQ(Balloons().back().kind, 3u) << "the refresh reset the once-only balloon";
}

TEST_F(CommandLabels, EnableThatLeavesItNotEnabledChangesNothing) {
    Reading({0, 2, 0, false, false});
    WireLikeStartUp();
    Click(160, 210);  // lbEnable
    EXPECT_EQ(TheWorld().log, (Log{"Enable", "Refresh(true)"}));
    ExpectLabels(true, false, "unchanged");
    Reading({0, 1, 0, false, false});
    Click(160, 210);
    ExpectLabels(false, true, "enabled partly");
    Reading({253, 0, 0, false, false});
    Click(260, 210);
    ExpectLabels(false, false, "driver failed");
}

TEST_F(CommandLabels, ADriverUnreachableAtStartLeavesBothUnavailableThroughLaterRefreshes) {
    Reading({254, 0, 0, false, false});
    WireLikeStartUp();
    ExpectLabels(false, false, "start");
    for (const Row& r : {Row{0, 2, 0, true, false}, Row{0, 0, 0, false, true}}) {
        Reading(r);
        panel->RefreshStatusProc(true);
        panel->RefreshStatusProc(false);
        EXPECT_EQ(panel->DriverResult, 0) << "the refreshes read the driver";
        ExpectLabels(false, false, ("after reading state " + std::to_string(r.state)).c_str());
    }
}

TEST_F(CommandLabels, ADisabledLabelTakesNoClick) {
    Reading({0, 0, 0, false, false});
    WireLikeStartUp();
    Click(160, 210);  // lbEnable, disabled
    EXPECT_TRUE(TheWorld().log.empty());
}

namespace {

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

// The child window's place in its parent's client area.
RECT PlaceIn(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Start-up makes no child window: a panel that may never be opened costs no windows.
class FirstShow : public Settings {
protected:
    void ExpectBoxesMadeAtFirstShow(bool autostart) {
        Load(1, autostart);
        EXPECT_TRUE(ChildWindows(hwnd).empty()) << "no child window before the first show";
        EXPECT_EQ(panel->chkAutostartUserCP.Handle(), nullptr);
        EXPECT_EQ(panel->chkAutomaticDisable.Handle(), nullptr);
        EXPECT_TRUE(panel->chkAutomaticDisable.Checked()) << "the state is kept without a window";
        EXPECT_EQ(panel->chkAutostartUserCP.Checked(), autostart);

        panel->Show();
        const HWND disable = panel->chkAutomaticDisable.Handle();
        const HWND autostartBox = panel->chkAutostartUserCP.Handle();
        ASSERT_NE(disable, nullptr);
        ASSERT_NE(autostartBox, nullptr);
        EXPECT_EQ(ChildWindows(hwnd), (std::vector<HWND>{disable, autostartBox}))
            << "the z-order is the tab order: the disable-at-start box first";
        for (const toolkit::CheckBox* box :
             {&panel->chkAutomaticDisable, &panel->chkAutostartUserCP}) {
            SCOPED_TRACE(box->Name());
            const RECT r = PlaceIn(hwnd, box->Handle());
            const RECT expected = box->BoundsRect();
            EXPECT_TRUE(EqualRect(&r, &expected));
            EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED,
                      box->Checked());
            EXPECT_EQ(IsWindowEnabled(box->Handle()) != FALSE, box->Enabled());
            EXPECT_FALSE(IsWindowVisible(box->Handle())) << "the Status page is shown";
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(box->Handle(), WM_GETFONT, 0, 0)),
                      panel->Font());
        }
        EXPECT_EQ(SendMessageA(disable, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageA(autostartBox, BM_GETCHECK, 0, 0) == BST_CHECKED, autostart);
        EXPECT_EQ(IsWindowEnabled(disable) != FALSE, autostart)
            << "the disable box is usable only with the logon start";
        panel->imgSettingsTabClick(*panel);
        EXPECT_TRUE(IsWindowVisible(disable));
        EXPECT_TRUE(IsWindowVisible(autostartBox));
    }
};

}  // namespace

TEST_F(FirstShow, TheBoxesWindowsAreMadeWithTheStatesSetBeforeWithAutostartOn) {
    ExpectBoxesMadeAtFirstShow(true);
}

TEST_F(FirstShow, TheBoxesWindowsAreMadeWithTheStatesSetBeforeWithAutostartOff) {
    ExpectBoxesMadeAtFirstShow(false);
}
