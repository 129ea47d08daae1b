// The soak's walk and its expectations (benchmarks/soak_model.*): a seed repeats its walk,
// every scenario is one the stand-in takes, and what a read or a command of the stand-in
// comes to is what the driver link makes of it.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "benchmarks/soak_model.h"
#include "driver/driver_types.h"

namespace {

std::vector<int> Steps(std::uint64_t seed, int count) {
    soak::Walk walk(seed);
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(static_cast<int>(walk.NextAction()));
    return out;
}

const soak::Scenario& Named(const char* name) {
    for (const auto& s : soak::Scenarios())
        if (std::string(s.name) == name) return s;
    throw std::logic_error(name);
}

status::StatusReading Read(const char* name, status::StatusReading lastGood = {}) {
    return soak::ExpectedReading(soak::MakeScenario(Named(name)), lastGood);
}

TEST(SoakWalk, ASeedRepeatsItsWalkAndAnotherSeedDoesNot) {
    EXPECT_EQ(Steps(42, 500), Steps(42, 500));
    EXPECT_NE(Steps(42, 500), Steps(43, 500));
}

TEST(SoakWalk, EveryActionAndScenarioComes) {
    soak::Walk walk(7);
    std::set<int> actions;
    std::set<std::string> scenarios;
    for (int i = 0; i < 5000; ++i) {
        actions.insert(static_cast<int>(walk.NextAction()));
        scenarios.insert(soak::PickScenario(walk).name);
    }
    EXPECT_EQ(actions.size(), static_cast<size_t>(soak::Action::Restart) + 1);
    EXPECT_EQ(scenarios.size(), soak::Scenarios().size());
}

TEST(SoakScenarios, EachIsOneTheStandInTakes) {
    for (const auto& s : soak::Scenarios()) EXPECT_NO_THROW((void)soak::MakeScenario(s)) << s.name;
}

TEST(SoakExpectations, ReadsAsTheDriverLinkMakesThem) {
    const status::StatusReading partly = Read("enabled partly");
    EXPECT_EQ(partly.driverResult, driver::kStatusRead);
    EXPECT_EQ(partly.hypervisorState, driver::kEnabledPartly);
    const status::StatusReading problems = Read("not supported here");
    EXPECT_EQ(problems.problemFlags, driver::kProcessorNotSupported);
    // A failed read keeps what the last table said.
    const status::StatusReading absent = Read("device absent", partly);
    EXPECT_EQ(absent.driverResult, driver::kDeviceNotOpened);
    EXPECT_EQ(absent.hypervisorState, driver::kEnabledPartly);
    EXPECT_EQ(Read("second read fails").driverResult, driver::kReadFailed);
    EXPECT_EQ(Read("count -1").driverResult, driver::kDriverError);
    EXPECT_EQ(Read("first count huge").driverResult, driver::kDriverError);
    EXPECT_EQ(Read("second count zero").driverResult, driver::kDriverError);
    EXPECT_EQ(Read("second count larger").driverResult, driver::kDriverError);
    EXPECT_EQ(Read("short read of nothing").driverResult, driver::kDriverError);
    // Only the header came: the records are the zeros the buffer held, a table read.
    const status::StatusReading header = Read("short read of a header");
    EXPECT_EQ(header.driverResult, driver::kStatusRead);
    EXPECT_EQ(header.hypervisorState, driver::kEnabledNowhere);
}

TEST(SoakExpectations, CommandsAsTheStandInAnswersThem) {
    auto s = soak::MakeScenario(Named("not supported here"));
    s.status[0] = 0;  // one processor off, without a problem
    const auto enabled = soak::ExpectedCommand(s, driver::HypervisorCommand::Enable);
    EXPECT_EQ(enabled.result, driver::CommandResult::Answered);
    EXPECT_EQ(enabled.answer, 0u);
    EXPECT_EQ(s.status[0], 1u);           // enabled
    EXPECT_EQ(s.status[1], 0x10000000u);  // a processor with a problem stays off
    auto refused = soak::MakeScenario(Named("short answer"));
    const auto shortAnswer = soak::ExpectedCommand(refused, driver::HypervisorCommand::Enable);
    EXPECT_EQ(shortAnswer.answer, 0u);  // no byte of the refusal came
    EXPECT_EQ(refused.status[0], 0u);   // and the refusal changed nothing
    auto oneByte = soak::MakeScenario(Named("one-byte answer"));
    EXPECT_EQ(soak::ExpectedCommand(oneByte, driver::HypervisorCommand::Disable).answer, 255u);
    auto failing = soak::MakeScenario(Named("commands fail"));
    EXPECT_EQ(soak::ExpectedCommand(failing, driver::HypervisorCommand::Disable).result,
              driver::CommandResult::ControlFailed);
    auto absent = soak::MakeScenario(Named("device absent"));
    EXPECT_EQ(soak::ExpectedCommand(absent, driver::HypervisorCommand::Enable).result,
              driver::CommandResult::NotOpened);
}

}  // namespace
