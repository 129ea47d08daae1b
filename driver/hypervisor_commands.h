// The enable and disable commands and the presence probe, over DevicePort. Win32-free.
#pragma once

#include <cstdint>

#include "driver/device_port.h"

namespace driver {

enum class HypervisorCommand : std::uint32_t {
    Enable = 0x222000,   // CTL_CODE(FILE_DEVICE_UNKNOWN, 0x800, METHOD_BUFFERED, FILE_ANY_ACCESS)
    Disable = 0x222004,  // CTL_CODE(FILE_DEVICE_UNKNOWN, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS)
};

// How far a command got.
enum class CommandResult {
    NotOpened,      // the device could not be opened: nothing was sent
    ControlFailed,  // the exchange failed
    Answered,       // the driver gave its answer word
};

// What a command came to. The link knows no texts: whoever ran the command finds the
// outcome's text above it (status::CommandMessage) and shows it.
struct CommandOutcome {
    CommandResult result = CommandResult::NotOpened;
    std::uint32_t answer = 0;  // meaningful when Answered
};

// True when the device can be opened; it is closed again at once.
[[nodiscard]] bool ProbeDevice(DevicePort& port) noexcept;

// Opens the device, sends the command and closes the device before it returns, so the
// handle is closed before the caller shows any text: an unshared handle held through a
// modal message would lock out every other opener. Nothing is sent when the device cannot
// be opened.
[[nodiscard]] CommandOutcome SendHypervisorCommand(DevicePort& port,
                                                   HypervisorCommand command) noexcept;

}  // namespace driver
