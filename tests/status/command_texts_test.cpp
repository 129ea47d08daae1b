// The texts the commands' outcomes show, from a scripted device through the driver link's
// command to the text above it.
#include "status/status_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver/hypervisor_commands.h"
#include "tests/driver/scripted_device_port.h"

namespace {

using namespace driver;
using drivertest::ScriptedDevicePort;
using status::CommandMessage;
using status::kCannotEnableText;
using status::kCommunicationErrorText;
using status::kDriverWorksWithErrorsText;

using Texts = std::vector<std::string>;

// The text the command's outcome shows, if any; the device is closed by the time it returns.
Texts Send(ScriptedDevicePort& port, HypervisorCommand command) {
    const CommandOutcome outcome = SendHypervisorCommand(port, command);
    EXPECT_FALSE(port.isOpen);
    EXPECT_EQ(port.opens, port.closes);
    const char* text = CommandMessage(command, outcome);
    if (text == nullptr) return {};
    return {text};
}

TEST(CommandTexts, AnswerWordsBringUpTheirTexts) {
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

TEST(CommandTexts, FailingControlShowsOneMessageWhateverTheAnswer) {
    for (auto command : {HypervisorCommand::Enable, HypervisorCommand::Disable}) {
        ScriptedDevicePort port;
        port.controlSucceeds = false;
        port.answer = 1;
        EXPECT_EQ(Send(port, command), Texts{kCommunicationErrorText});
    }
}

TEST(CommandTexts, AbsentDeviceShowsNothing) {
    ScriptedDevicePort port;
    port.openSucceeds = false;
    EXPECT_EQ(Send(port, HypervisorCommand::Enable), Texts{});
    EXPECT_TRUE(port.controlCodes.empty());
}

TEST(CommandTexts, ShortAnswerReadsAsItsBytesOverZeros) {
    ScriptedDevicePort nothing;  // a driver that writes no byte answers 0
    nothing.answer = 1;
    nothing.answerBytes = 0;
    EXPECT_EQ(Send(nothing, HypervisorCommand::Enable), Texts{});
    ScriptedDevicePort oneByte;
    oneByte.answer = 0x12FF;
    oneByte.answerBytes = 1;
    EXPECT_EQ(Send(oneByte, HypervisorCommand::Disable), Texts{kDriverWorksWithErrorsText});
}

}  // namespace
