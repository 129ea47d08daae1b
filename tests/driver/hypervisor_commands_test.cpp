// The enable and disable commands and the probe, over a scripted device: how far a command
// got, its answer word, and the device closed again on every way out.
#include "driver/hypervisor_commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/driver/scripted_device_port.h"

namespace {

using namespace driver;
using drivertest::ScriptedDevicePort;

// Sends the command; the device is closed by the time it returns.
CommandOutcome Send(ScriptedDevicePort& port, HypervisorCommand command) {
    const CommandOutcome outcome = SendHypervisorCommand(port, command);
    EXPECT_FALSE(port.isOpen);
    EXPECT_EQ(port.opens, port.closes);
    return outcome;
}

TEST(HypervisorCommands, SendsItsCodeOnceOverAFreshHandle) {
    ScriptedDevicePort enable;
    (void)Send(enable, HypervisorCommand::Enable);
    EXPECT_EQ(enable.controlCodes, std::vector<std::uint32_t>{0x222000});
    ScriptedDevicePort disable;
    (void)Send(disable, HypervisorCommand::Disable);
    EXPECT_EQ(disable.controlCodes, std::vector<std::uint32_t>{0x222004});
    EXPECT_EQ(disable.opens, 1);
}

TEST(HypervisorCommands, AbsentDeviceSendsNothing) {
    ScriptedDevicePort port;
    port.openSucceeds = false;
    EXPECT_EQ(Send(port, HypervisorCommand::Enable).result, CommandResult::NotOpened);
    EXPECT_TRUE(port.controlCodes.empty());
    EXPECT_FALSE(ProbeDevice(port));
    EXPECT_EQ(port.closes, 0) << "nothing was opened, so nothing is closed";
}

// Leaves the stack below the caller full of 0xA5 bytes, so that a word nobody set before a
// call made right after is not zero by luck.
[[gnu::noinline]] void DirtyTheStack() {
    volatile unsigned char junk[8192];
    for (auto& b : junk) b = 0xA5;
}

TEST(HypervisorCommands, TheAnswerWordIsZeroWhenHandedToTheDriver) {
    for (auto command : {HypervisorCommand::Enable, HypervisorCommand::Disable}) {
        ScriptedDevicePort port;
        DirtyTheStack();
        (void)SendHypervisorCommand(port, command);
        EXPECT_EQ(port.answerWordsHandedIn, std::vector<std::uint32_t>{0});
    }
}

TEST(HypervisorCommands, ShortAnswerReadsAsItsBytesOverZeros) {
    ScriptedDevicePort nothing;  // a driver that writes no byte answers 0
    nothing.answer = 1;
    nothing.answerBytes = 0;
    EXPECT_EQ(Send(nothing, HypervisorCommand::Enable).answer, 0u);
    ScriptedDevicePort oneByte;
    oneByte.answer = 0x12FF;
    oneByte.answerBytes = 1;
    EXPECT_EQ(Send(oneByte, HypervisorCommand::Disable).answer, 0xFFu);
}

TEST(HypervisorCommands, AFailedExchangeClosesTheDeviceAndHandsBackNoAnswer) {
    ScriptedDevicePort port;
    port.controlSucceeds = false;
    port.answer = 1;
    const CommandOutcome outcome = Send(port, HypervisorCommand::Enable);
    EXPECT_EQ(outcome.result, CommandResult::ControlFailed);
    EXPECT_EQ(outcome.answer, 0u);
    EXPECT_EQ(port.closes, 1);
}

TEST(HypervisorCommands, OutcomeSaysHowFarTheCommandGot) {
    ScriptedDevicePort absent;
    absent.openSucceeds = false;
    EXPECT_EQ(SendHypervisorCommand(absent, HypervisorCommand::Enable).result,
              CommandResult::NotOpened);
    ScriptedDevicePort failing;
    failing.controlSucceeds = false;
    EXPECT_EQ(SendHypervisorCommand(failing, HypervisorCommand::Disable).result,
              CommandResult::ControlFailed);
    ScriptedDevicePort answering;
    answering.answer = 2;
    const CommandOutcome outcome = SendHypervisorCommand(answering, HypervisorCommand::Enable);
    EXPECT_EQ(outcome.result, CommandResult::Answered);
    EXPECT_EQ(outcome.answer, 2u);
}

TEST(DeviceProbe, OpensAndClosesOnce) {
    ScriptedDevicePort port;
    EXPECT_TRUE(ProbeDevice(port));
    EXPECT_EQ(port.opens, 1);
    EXPECT_EQ(port.closes, 1);
    EXPECT_TRUE(port.readLengths.empty());
}

}  // namespace
