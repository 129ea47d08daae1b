#include "driver/driver_link.h"

#include "driver/win32_device_port.h"

namespace driver {

DriverResult ReadDriverStatus() noexcept {
    Win32DevicePort port;
    return ReadDriverStatusFrom(port);
}

bool IsDriverPresent() noexcept {
    Win32DevicePort port;
    return ProbeDevice(port);
}

CommandOutcome EnableHypervisor() noexcept {
    Win32DevicePort port;
    return SendHypervisorCommand(port, HypervisorCommand::Enable);
}

CommandOutcome DisableHypervisor() noexcept {
    Win32DevicePort port;
    return SendHypervisorCommand(port, HypervisorCommand::Disable);
}

}  // namespace driver
