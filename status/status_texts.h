// The texts a front end shows for the driver's status and for the outcome of a command:
// captions, description lines, balloon texts and the refusal texts. The driver link knows
// none of them; every front end takes them from here. No Win32 here.
#pragma once

#include "driver/driver_types.h"
#include "driver/hypervisor_commands.h"

#include <string>
#include <string_view>

namespace status {

inline constexpr const char* kCommunicationErrorText =
    "Error while communicating to Korvalen driver";
inline constexpr const char* kCannotEnableText =
    "Hypervisor can not be enabled. Shutdown all Virtual Machines.";
inline constexpr const char* kDriverWorksWithErrorsText = "Korvalen driver works with errors";
// The administrator's machine policy has turned Enable and Disable off.
inline constexpr const char* kSwitchingTurnedOffText =
    "Switching the hypervisor is turned off by your administrator";
// Why a box on Settings is unavailable under machine policy, for a screen reader.
inline constexpr const char* kSettingsChangeTurnedOffText =
    "Changing the settings is turned off by your administrator";
inline constexpr const char* kDisableAtStartSetByPolicyText =
    "Your administrator decides whether the hypervisor is disabled at start";

// What the driver said at one status read: how the read went and, when it went well, the
// table condensed.
struct StatusReading {
    driver::DriverResult driverResult = 0;
    driver::HypervisorState hypervisorState = 0;
    driver::ProblemFlags problemFlags = 0;
};

// Balloon icon kinds, the values of the shell's NIIF_ flags.
enum IconKind : int { kIconNone = 0, kIconInfo = 1, kIconWarning = 2, kIconError = 3 };

struct BalloonRequest {
    std::string text;
    int iconKind = kIconNone;
};

// What a reading says to the user: the caption, the description and the balloon that
// would go with it.
struct StatusDescription {
    std::string caption;
    std::string description;
    BalloonRequest balloon;
};

// A state outside the three cannot come from a successful read; it reads as not enabled.
[[nodiscard]] StatusDescription DescribeStatus(const StatusReading& reading);

// A description line is appended with LF then CR after it (0x0A 0x0D, in that order).
[[nodiscard]] std::string AppendDescriptionLine(std::string text, std::string_view line);

// The text a command's outcome shows, or null for none: nothing when the device could not
// be opened (the status read reports that), the communication error when the exchange
// failed, and otherwise what the answer word means for that command.
[[nodiscard]] const char* CommandMessage(driver::HypervisorCommand command,
                                         const driver::CommandOutcome& outcome) noexcept;

}  // namespace status
