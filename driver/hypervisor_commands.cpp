#include "driver/hypervisor_commands.h"

namespace driver {

namespace {
constexpr std::uint32_t kAnswerRefused = 1;
constexpr std::uint32_t kAnswerDriverError = 255;
}  // namespace

const char* CommandMessage(HypervisorCommand command, bool sent, std::uint32_t answer) noexcept {
    if (!sent) return kCommunicationErrorText;
    if (answer == kAnswerDriverError) return kDriverWorksWithErrorsText;
    if (answer == kAnswerRefused && command == HypervisorCommand::Enable) return kCannotEnableText;
    return nullptr;
}

bool ProbeDevice(DevicePort& port) noexcept {
    if (!port.Open()) return false;
    port.Close();
    return true;
}

CommandOutcome SendHypervisorCommand(DevicePort& port, HypervisorCommand command) noexcept {
    if (!port.Open()) return {};
    // Zero before the call, so that an answer shorter than four bytes reads as its bytes
    // over zeros and a driver that writes nothing answers 0.
    std::uint32_t answer = 0;
    const bool sent = port.Control(static_cast<std::uint32_t>(command), answer);
    port.Close();
    return {sent ? CommandResult::Answered : CommandResult::ControlFailed, sent ? answer : 0,
            CommandMessage(command, sent, answer)};
}

}  // namespace driver
