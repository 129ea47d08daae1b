#include "ui/tray_backoff.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(TrayBackoff, WaitsDoubleFromOneSecondAndStopAtThirtyUntilReset) {
    ui::AddBackoff backoff;
    std::vector<std::uint32_t> waits;
    for (int i = 0; i < 9; ++i) waits.push_back(backoff.NextDelayMs());
    EXPECT_EQ(waits, (std::vector<std::uint32_t>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000,
                                                 30000}));
    backoff.Reset();
    EXPECT_EQ(backoff.NextDelayMs(), 1000u);
    EXPECT_EQ(backoff.NextDelayMs(), 2000u);
    // Many refusals (a shell that never comes up) stay at the cap: no overflow to zero.
    for (int i = 0; i < 100; ++i) EXPECT_EQ(backoff.NextDelayMs() <= 30000u, true);
    EXPECT_EQ(backoff.NextDelayMs(), 30000u);
}
