// The driver link: the status read, the probe and the two commands on the Korvalen
// driver's device "\\.\Korvalen". Every operation opens the device anew and closes it
// before it returns; none throws. The table and its aggregations
// (GetHypervisorState, GetProblemFlags, ReleaseProcessorStatusTable) come with it.
#pragma once

#include "driver/driver_types.h"
#include "driver/hypervisor_commands.h"
#include "driver/processor_status_table.h"

namespace driver {

// Reads the status table; on kStatusRead the table has been replaced, otherwise it is kept.
[[nodiscard]] DriverResult ReadDriverStatus() noexcept;

[[nodiscard]] bool IsDriverPresent() noexcept;
// The two commands: the device is closed again when they return; the caller shows the
// outcome's text (status::CommandMessage).
[[nodiscard]] CommandOutcome EnableHypervisor() noexcept;
[[nodiscard]] CommandOutcome DisableHypervisor() noexcept;

}  // namespace driver
