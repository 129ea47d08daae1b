// What start-up makes of the instance mutex's outcome.
#include "app/instance_rules.h"

#include <gtest/gtest.h>

using app::ClassifyInstance;
using app::InstanceState;

TEST(InstanceRules, AnotherInstanceIsKnownByTheErrorAloneWhateverTheHandle) {
    EXPECT_EQ(ClassifyInstance(183, false), InstanceState::Another);
    EXPECT_EQ(ClassifyInstance(183, true), InstanceState::Another);
    EXPECT_EQ(ClassifyInstance(5, false), InstanceState::Another) << "a mutex we may not open";
    EXPECT_EQ(ClassifyInstance(5, true), InstanceState::Another);
}

TEST(InstanceRules, ANullHandleWithAnyOtherErrorIsAFailure) {
    EXPECT_EQ(ClassifyInstance(0, true), InstanceState::Failed);
    EXPECT_EQ(ClassifyInstance(1450, true), InstanceState::Failed);
    EXPECT_EQ(ClassifyInstance(0, false), InstanceState::First);
    EXPECT_EQ(ClassifyInstance(6, false), InstanceState::First) << "other errors do not matter";
}
