#include "driver/hypervisor_commands.h"

namespace driver {

bool ProbeDevice(DevicePort& port) noexcept {
    const OpenedDevice device(port);
    return static_cast<bool>(device);
}

CommandOutcome SendHypervisorCommand(DevicePort& port, HypervisorCommand command) noexcept {
    bool sent = false;
    // Zero before the call, so that an answer shorter than four bytes reads as its bytes
    // over zeros and a driver that writes nothing answers 0.
    std::uint32_t answer = 0;
    {
        const OpenedDevice device(port);
        if (!device) return {};
        sent = port.Control(static_cast<std::uint32_t>(command), answer);
    }
    return {sent ? CommandResult::Answered : CommandResult::ControlFailed, sent ? answer : 0};
}

}  // namespace driver
