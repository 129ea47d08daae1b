#include <gtest/gtest.h>

TEST(FailureProbe, AlwaysFails) {
    EXPECT_EQ(1 + 1, 3) << "this test is expected to fail; CTest inverts it";
}
