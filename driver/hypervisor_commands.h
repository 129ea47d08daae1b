// The enable and disable commands and the presence probe, over DevicePort. Win32-free.
#pragma once

#include <cstdint>

#include "driver/device_port.h"

namespace driver {

// Where the commands hand the texts they show. The application points it at its message
// window; the link itself knows nothing of windows.
using MessageSink = void (*)(const char* text);

enum class HypervisorCommand : std::uint32_t {
    Enable = 0x222000,   // CTL_CODE(FILE_DEVICE_UNKNOWN, 0x800, METHOD_BUFFERED, FILE_ANY_ACCESS)
    Disable = 0x222004,  // CTL_CODE(FILE_DEVICE_UNKNOWN, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS)
};

inline constexpr const char* kCommunicationErrorText =
    "Error while communicating to Korvalen driver";
inline constexpr const char* kCannotEnableText =
    "Hypervisor can not be enabled. Shutdown all Virtual Machines.";
inline constexpr const char* kDriverWorksWithErrorsText = "Korvalen driver works with errors";

// The text a command shows after the exchange, or null for none.
[[nodiscard]] const char* CommandMessage(HypervisorCommand command, bool sent,
                                         std::uint32_t answer) noexcept;

// True when the device can be opened; it is closed again at once.
[[nodiscard]] bool ProbeDevice(DevicePort& port) noexcept;

// Opens the device, sends the command, closes the device and only then hands the text, if
// any, to the sink: an unshared handle held through a modal message would lock out every
// other opener. Nothing is sent and nothing shown when the device cannot be opened.
void SendHypervisorCommand(DevicePort& port, HypervisorCommand command, MessageSink sink) noexcept;

}  // namespace driver
