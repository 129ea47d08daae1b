// The enable and disable commands and the probe, over a scripted device.
#include "driver/hypervisor_commands.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/driver/scripted_device_port.h"

namespace {

using namespace driver;
using drivertest::ScriptedDevicePort;

// What the sink was given, and whether the device was open at that moment.
struct SinkLog {
    std::vector<std::string> texts;
    bool deviceOpenDuringMessage = false;
    ScriptedDevicePort* port = nullptr;
};
SinkLog g_log;

void Capture(const char* text) {
    g_log.texts.emplace_back(text);
    if (g_log.port && g_log.port->isOpen) g_log.deviceOpenDuringMessage = true;
}

std::vector<std::string> Send(ScriptedDevicePort& port, HypervisorCommand command) {
    g_log = SinkLog{};
    g_log.port = &port;
    SendHypervisorCommand(port, command, &Capture);
    EXPECT_FALSE(g_log.deviceOpenDuringMessage);
    EXPECT_EQ(port.opens, port.closes);
    return g_log.texts;
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

TEST(HypervisorCommands, ThrowingSinkDoesNotEscape) {
    ScriptedDevicePort port;
    port.answer = 255;
    SendHypervisorCommand(port, HypervisorCommand::Enable,
                          [](const char*) { throw std::runtime_error("window failed"); });
    EXPECT_EQ(port.closes, 1);
}

TEST(DeviceProbe, OpensAndClosesOnce) {
    ScriptedDevicePort port;
    EXPECT_TRUE(ProbeDevice(port));
    EXPECT_EQ(port.opens, 1);
    EXPECT_EQ(port.closes, 1);
    EXPECT_TRUE(port.readLengths.empty());
}

}  // namespace
