// The process's processor status table, read through any DevicePort. Win32-free.
#pragma once

#include "driver/device_port.h"
#include "driver/driver_types.h"

namespace driver {

// ReadDriverStatus over the given port: replaces the table on success.
[[nodiscard]] DriverResult ReadDriverStatusFrom(DevicePort& port) noexcept;

[[nodiscard]] const ProcessorStatusTable& CurrentProcessorStatusTable() noexcept;
[[nodiscard]] HypervisorState GetHypervisorState() noexcept;
[[nodiscard]] ProblemFlags GetProblemFlags() noexcept;
void ReleaseProcessorStatusTable() noexcept;

}  // namespace driver
