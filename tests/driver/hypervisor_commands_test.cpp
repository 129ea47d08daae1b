// The enable and disable commands and the probe, over a scripted device.
#include "driver/hypervisor_commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/driver/scripted_device_port.h"

namespace {

using namespace driver;
using drivertest::ScriptedDevicePort;

// The text the command hands back, if any; the device is closed by the time it returns.
std::vector<std::string> Send(ScriptedDevicePort& port, HypervisorCommand command) {
    const CommandOutcome outcome = SendHypervisorCommand(port, command);
    EXPECT_FALSE(port.isOpen);
    EXPECT_EQ(port.opens, port.closes);
    if (outcome.text == nullptr) return {};
    return {outcome.text};
}

using Texts = std::vector<std::string>;

TEST(HypervisorCommands, AnswerWordsBringUpTheirTexts) {
    const std::uint32_t silent[] = {0, 2, 254, 256, 0x101, 0xFFFFFFFF};
    for (std::uint32_t answer : silent) {
        SCOPED_TRACE(answer);
        for (auto command : {HypervisorCommand::Enable, HypervisorCommand::Disable}) {
            ScriptedDevicePort port;
            port.answer = answer;
            EXPECT_EQ(Send(port, command), Texts{});
        }
    }
    ScriptedDevicePort refused;
    refused.answer = 1;
    EXPECT_EQ(Send(refused, HypervisorCommand::Enable), Texts{kCannotEnableText});
    ScriptedDevicePort refusedDisable;
    refusedDisable.answer = 1;
    EXPECT_EQ(Send(refusedDisable, HypervisorCommand::Disable), Texts{});
    for (auto command : {HypervisorCommand::Enable, HypervisorCommand::Disable}) {
        ScriptedDevicePort port;
        port.answer = 255;
        EXPECT_EQ(Send(port, command), Texts{kDriverWorksWithErrorsText});
    }
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

TEST(HypervisorCommands, FailingControlShowsOneMessageWhateverTheAnswer) {
    for (auto command : {HypervisorCommand::Enable, HypervisorCommand::Disable}) {
        ScriptedDevicePort port;
        port.controlSucceeds = false;
        port.answer = 1;
        EXPECT_EQ(Send(port, command), Texts{kCommunicationErrorText});
    }
}

TEST(HypervisorCommands, AbsentDeviceSendsNothingAndShowsNothing) {
    ScriptedDevicePort port;
    port.openSucceeds = false;
    EXPECT_EQ(Send(port, HypervisorCommand::Enable), Texts{});
    EXPECT_TRUE(port.controlCodes.empty());
    EXPECT_FALSE(ProbeDevice(port));
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
    EXPECT_EQ(Send(nothing, HypervisorCommand::Enable), Texts{});
    ScriptedDevicePort oneByte;
    oneByte.answer = 0x12FF;
    oneByte.answerBytes = 1;
    EXPECT_EQ(Send(oneByte, HypervisorCommand::Disable), Texts{kDriverWorksWithErrorsText});
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
    EXPECT_EQ(outcome.text, nullptr);
}

TEST(DeviceProbe, OpensAndClosesOnce) {
    ScriptedDevicePort port;
    EXPECT_TRUE(ProbeDevice(port));
    EXPECT_EQ(port.opens, 1);
    EXPECT_EQ(port.closes, 1);
    EXPECT_TRUE(port.readLengths.empty());
}

}  // namespace
