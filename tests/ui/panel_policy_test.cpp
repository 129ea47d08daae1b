// The panel's own items under the administrator's machine policy, read through the real
// policy key: a value set takes the item from the user; a value not set (absent, of another
// type, out of range) leaves everything as without a policy.
#include "settings/machine_policy.h"
#include "status/status_texts.h"
#include "tests/settings/policy_key.h"
#include "tests/support/accessible_probe.h"
#include "tests/ui/panel_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace paneltest;
using namespace testsupport;
using Log = std::vector<std::string>;

namespace {

class PanelPolicy : public PanelTest {
protected:
    // The user's settings word and logon start, the panel wired and loaded as at start-up.
    void Load(std::int32_t settings, bool autostart) {
        TheWorld().settings = settings;
        TheWorld().autostart = autostart;
        panel->GetPolicyProc = &settings::ReadMachinePolicy;
        WireLikeStartUp();
    }
    [[nodiscard]] bool SaysSwitchingIsOff() const {
        return panel->lbGeneralDescription.Text().find(status::kSwitchingTurnedOffText) !=
               std::string::npos;
    }
    // The screen reader's state of the Enable and Disable items.
    std::vector<long> CommandStates() {
        const auto children = StatusChildren();
        if (children.size() != 7u) return {};
        return {children[4].state, children[5].state};
    }
    // What the screen reader says after the name of the Enable and Disable items.
    std::vector<std::string> CommandDescriptions() {
        const auto children = StatusChildren();
        if (children.size() != 7u) return {};
        return {children[4].description, children[5].description};
    }
    std::vector<AccessibleChild> StatusChildren() {
        panel->imgStatusTabClick(*panel);
        panel->Show();
        return ChildrenOf(ClientObject(hwnd).get());
    }
    // What the screen reader says after the names of the Settings page's boxes and their
    // texts, in reading order: the logon start's box and text, then the disable's.
    std::vector<std::string> SettingsDescriptions() {
        panel->imgSettingsTabClick(*panel);
        panel->Show();
        std::vector<std::string> said;
        for (const auto& child : ChildrenOf(ClientObject(hwnd).get()))
            if (child.name.find("Windows starts") != std::string::npos)
                said.push_back(child.description);
        return said;
    }
    settingstest::Policy policy;  // no key before and after each test
    ComApartment com;
};

// Values that count as not set: the panel is exactly as without a key.
void PutNotSet(const char* name, int how) {
    const std::uint64_t wide = 0;
    switch (how) {
        case 0: break;  // absent
        case 1: settingstest::Policy::Put(name, REG_SZ, "0", 2); break;
        case 2: settingstest::Policy::Put(name, REG_QWORD, &wide, sizeof wide); break;
        default: settingstest::Policy::PutDword(name, 2); break;  // out of range
    }
}

TEST_F(PanelPolicy, ValuesNotSetLeaveEveryItemAsWithoutAPolicy) {
    for (int how = 0; how < 4; ++how) {
        SCOPED_TRACE(how);
        for (const char* name :
             {settings::kAllowSwitchingValue, settings::kAllowSettingsChangeValue,
              settings::kDisableHypervisorAtStartValue})
            PutNotSet(name, how);
        Load(1, true);
        EXPECT_FALSE(panel->lbEnable.Enabled());
        EXPECT_TRUE(panel->lbDisable.Enabled());
        EXPECT_FALSE(SaysSwitchingIsOff());
        EXPECT_TRUE(panel->chkAutostartUserCP.Enabled());
        EXPECT_TRUE(panel->lbAutostartUserCP.Enabled());
        EXPECT_TRUE(panel->chkAutostartUserCP.Checked());
        EXPECT_TRUE(panel->chkAutomaticDisable.Enabled());
        EXPECT_TRUE(panel->chkAutomaticDisable.Checked());
        EXPECT_EQ(CommandStates(),
                  (std::vector<long>{STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_FOCUSABLE}));
        // Unavailable for the status alone: nothing is said beyond the names.
        EXPECT_EQ(CommandDescriptions(), (std::vector<std::string>(2)));
        EXPECT_EQ(SettingsDescriptions(), (std::vector<std::string>(4)));
        panel->Hide();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, settings::kPolicyKey);
    }
}

TEST_F(PanelPolicy, SwitchingTurnedOffMakesEnableAndDisableUnavailableAndSaysWhy) {
    ASSERT_TRUE(settingstest::Policy::PutDword(settings::kAllowSwitchingValue, 0));
    Load(0, false);
    EXPECT_FALSE(panel->lbEnable.Enabled());
    EXPECT_FALSE(panel->lbDisable.Enabled());
    EXPECT_TRUE(SaysSwitchingIsOff());
    EXPECT_EQ(CommandStates(),
              (std::vector<long>{STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE}));
    // The screen reader says why, on each of the two.
    EXPECT_EQ(CommandDescriptions(),
              (std::vector<std::string>(2, status::kSwitchingTurnedOffText)));
    // A status that would offer Enable offers nothing either.
    TheWorld().hypervisorState = 2;  // enabled nowhere
    panel->RefreshStatusProc(false);
    panel->LoadControlStates();
    EXPECT_FALSE(panel->lbEnable.Enabled());
    EXPECT_TRUE(SaysSwitchingIsOff());
    // Allowed (1): as without a policy.
    ASSERT_TRUE(settingstest::Policy::PutDword(settings::kAllowSwitchingValue, 1));
    panel->RefreshStatusProc(false);
    panel->LoadControlStates();
    EXPECT_TRUE(panel->lbEnable.Enabled());
    EXPECT_FALSE(SaysSwitchingIsOff());
    EXPECT_EQ(CommandDescriptions(), (std::vector<std::string>(2)));
}

TEST_F(PanelPolicy, SettingsChangeTurnedOffShowsBothBoxesAsTheyAreButUnavailable) {
    ASSERT_TRUE(settingstest::Policy::PutDword(settings::kAllowSettingsChangeValue, 0));
    Load(1, true);
    EXPECT_TRUE(panel->chkAutostartUserCP.Checked());
    EXPECT_TRUE(panel->chkAutomaticDisable.Checked());
    for (const toolkit::Component* c :
         {static_cast<toolkit::Component*>(&panel->chkAutostartUserCP),
          static_cast<toolkit::Component*>(&panel->lbAutostartUserCP),
          static_cast<toolkit::Component*>(&panel->chkAutomaticDisable),
          static_cast<toolkit::Component*>(&panel->lbAutomaticDisable)})
        EXPECT_FALSE(c->Enabled()) << c->Name();
    // A click that reaches the text anyway changes nothing.
    panel->lbAutostartUserCPClick(*panel);
    panel->lbAutomaticDisableClick(*panel);
    EXPECT_TRUE(panel->chkAutostartUserCP.Checked());
    EXPECT_TRUE(panel->chkAutomaticDisable.Checked());
    EXPECT_EQ(TheWorld().log, Log{});
    EXPECT_EQ(SettingsDescriptions(),
              (std::vector<std::string>(4, status::kSettingsChangeTurnedOffText)));
}

TEST_F(PanelPolicy, DisableAtStartTakesThePlaceOfTheUsersBitAndIsUnavailable) {
    struct Case {
        DWORD value;
        std::int32_t settings;
    };
    for (const Case c : {Case{0, 1}, Case{1, 0}}) {
        SCOPED_TRACE(c.value);
        ASSERT_TRUE(
            settingstest::Policy::PutDword(settings::kDisableHypervisorAtStartValue, c.value));
        panel->chkAutomaticDisable.SetChecked(false);
        Load(c.settings, true);
        EXPECT_EQ(panel->chkAutomaticDisable.Checked(), c.value == 1);
        EXPECT_FALSE(panel->chkAutomaticDisable.Enabled());
        EXPECT_FALSE(panel->lbAutomaticDisable.Enabled());
        EXPECT_TRUE(panel->chkAutostartUserCP.Enabled()) << "the logon start stays the user's";
        const std::string decided = status::kDisableAtStartSetByPolicyText;
        EXPECT_EQ(SettingsDescriptions(), (std::vector<std::string>{"", "", decided, decided}));
        panel->Hide();
        // The user's own word is left as it is.
        EXPECT_EQ(TheWorld().settings, c.settings);
        // Logon start off and on again: the box stays unavailable.
        panel->lbAutostartUserCPClick(*panel);
        panel->lbAutostartUserCPClick(*panel);
        EXPECT_FALSE(panel->chkAutomaticDisable.Enabled());
        EXPECT_EQ(TheWorld().settings, c.settings);
    }
}

}  // namespace
