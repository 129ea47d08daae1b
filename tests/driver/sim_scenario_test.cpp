// The korvalen-sim tool's scenario editing.
#include "simulator/sim_scenario.h"

#include <gtest/gtest.h>

namespace {

TEST(SimScenario, SetTakesStatusWordsAndAnswers) {
    KorvalenSimScenario s = sim::DefaultScenario();
    EXPECT_EQ(sim::ApplySetOptions({"--status", "0x1,0x1,0x10000000", "--enable-answer", "1",
                                    "--disable-answer", "255"},
                                   s),
              "");
    EXPECT_EQ(s.processorCount, 3u);
    EXPECT_EQ(s.status[2], 0x10000000u);
    EXPECT_EQ(s.status[3], 0u);
    EXPECT_EQ(s.enableAnswer, 1u);
    EXPECT_EQ(s.disableAnswer, 255u);
}

TEST(SimScenario, BadArgumentsAreRefusedWithoutPartialNonsense) {
    KorvalenSimScenario s = sim::DefaultScenario();
    EXPECT_NE(sim::ApplySetOptions({"--status", "1,x"}, s), "");
    EXPECT_NE(sim::ApplySetOptions({"--enable-answer"}, s), "");
    EXPECT_NE(sim::ApplySetOptions({"--colour", "1"}, s), "");
    EXPECT_NE(sim::ApplyFaults({"short-answer", "4"}, s), "");
    EXPECT_NE(sim::ApplyFaults({"sideways"}, s), "");
    EXPECT_EQ(s.processorCount, 4u);
}

TEST(SimScenario, FaultsAccumulateAndNoneClearsThem) {
    KorvalenSimScenario s = sim::DefaultScenario();
    EXPECT_EQ(sim::ApplyFaults({"second-count-larger", "short-read", "24", "count-minus-one"}, s),
              "");
    EXPECT_EQ(s.faults, KORVALEN_SIM_FAULT_SECOND_COUNT | KORVALEN_SIM_FAULT_SHORT_READ |
                            KORVALEN_SIM_FAULT_FIRST_COUNT);
    EXPECT_EQ(s.secondCount, 5);
    EXPECT_EQ(s.firstCount, -1);
    EXPECT_EQ(s.shortReadBytes, 24u);
    EXPECT_EQ(sim::ApplyFaults({"none"}, s), "");
    EXPECT_EQ(s.faults, 0u);
}

}  // namespace
