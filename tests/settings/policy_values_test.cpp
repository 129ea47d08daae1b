// What a stored policy value means, natively.
#include "settings/policy_values.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace settings;

TEST(PolicyValues, OnlyADwordOfZeroOrOneIsSet) {
    const std::uint32_t zero = 0, one = 1, two = 2, big = 0xFFFFFFFF;
    EXPECT_EQ(PolicySwitch(true, kRegistryDword, &zero, 4), false);
    EXPECT_EQ(PolicySwitch(true, kRegistryDword, &one, 4), true);
    EXPECT_EQ(PolicySwitch(true, kRegistryDword, &two, 4), std::nullopt) << "out of range";
    EXPECT_EQ(PolicySwitch(true, kRegistryDword, &big, 4), std::nullopt) << "out of range";
    EXPECT_EQ(PolicySwitch(false, kRegistryDword, &one, 4), std::nullopt) << "absent";
    EXPECT_EQ(PolicySwitch(true, 1 /* REG_SZ */, "1", 2), std::nullopt) << "text";
    EXPECT_EQ(PolicySwitch(true, 11 /* REG_QWORD */, &one, 4), std::nullopt) << "other type";
    EXPECT_EQ(PolicySwitch(true, kRegistryDword, &one, 2), std::nullopt) << "short";
    EXPECT_EQ(PolicySwitch(true, kRegistryDword, nullptr, 4), std::nullopt);
}

TEST(PolicyValues, NotSetMeansAsWithoutAPolicy) {
    const MachinePolicy none;
    EXPECT_TRUE(none.SwitchingAllowed());
    EXPECT_TRUE(none.SettingsChangeAllowed());
    MachinePolicy off;
    off.allowSwitching = false;
    off.allowSettingsChange = false;
    EXPECT_FALSE(off.SwitchingAllowed());
    EXPECT_FALSE(off.SettingsChangeAllowed());
}

TEST(PolicyValues, TheStartTimeDisableTakesThePolicyBeforeSettingsBitZero) {
    MachinePolicy policy;
    EXPECT_TRUE(DisableAtStart(policy, 1));
    EXPECT_FALSE(DisableAtStart(policy, 2));
    policy.disableHypervisorAtStart = false;
    EXPECT_FALSE(DisableAtStart(policy, 1));
    policy.disableHypervisorAtStart = true;
    EXPECT_TRUE(DisableAtStart(policy, 0));
}
