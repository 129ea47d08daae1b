#include "ui/label_states.h"

#include <gtest/gtest.h>
#include <cstdint>

using namespace ui;

namespace {
constexpr CommandLabels kOffOff{false, false};
constexpr CommandLabels kOnOff{true, false};
constexpr CommandLabels kOffOn{false, true};
}  // namespace

TEST(CommandLabels, DriverFailureTurnsBothOffForEveryCaller) {
    for (auto caller :
         {LabelCaller::LoadControlStates, LabelCaller::EnableClick, LabelCaller::DisableClick}) {
        for (std::uint8_t result : {253, 254, 255}) {
            EXPECT_EQ(DecideCommandLabels(caller, result, 0, 0, kOffOn), kOffOff);
            EXPECT_EQ(DecideCommandLabels(caller, result, 2, 0, kOnOff), kOffOff);
        }
    }
}

TEST(CommandLabels, LoadControlStatesColumn) {
    const auto load = [](std::uint8_t state, std::uint8_t flags) {
        return DecideCommandLabels(LabelCaller::LoadControlStates, 0, state, flags, kOnOff);
    };
    EXPECT_EQ(load(2, 0x01), kOffOff);
    EXPECT_EQ(load(2, 0), kOnOff);
    EXPECT_EQ(load(0, 0), kOffOn);
    EXPECT_EQ(load(1, 0x3F), kOffOn);
}

TEST(CommandLabels, EnableClickLeavesLabelsWhenStillNotEnabled) {
    const auto enable = [](std::uint8_t state, std::uint8_t flags, CommandLabels now) {
        return DecideCommandLabels(LabelCaller::EnableClick, 0, state, flags, now);
    };
    EXPECT_EQ(enable(2, 0x04, kOnOff), kOnOff);
    EXPECT_EQ(enable(2, 0, kOnOff), kOnOff);
    EXPECT_EQ(enable(0, 0, kOnOff), kOffOn);
    EXPECT_EQ(enable(1, 0x02, kOnOff), kOffOn);
}

TEST(CommandLabels, DisableClickOffersEnableEvenWithProblemBits) {
    const auto disable = [](std::uint8_t state, std::uint8_t flags, CommandLabels now) {
        return DecideCommandLabels(LabelCaller::DisableClick, 0, state, flags, now);
    };
    EXPECT_EQ(disable(2, 0x04, kOffOn), kOnOff);
    EXPECT_EQ(disable(2, 0, kOffOn), kOnOff);
    EXPECT_EQ(disable(0, 0, kOffOn), kOffOn) << "still enabled: unchanged";
    EXPECT_EQ(disable(1, 0, kOffOn), kOffOn);
}
