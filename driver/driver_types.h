// The values that the driver link reports: one processor's status record, the table of
// them, and the small codes that condense it.
#pragma once

#include <cstdint>
#include <vector>

namespace driver {

// One record of the driver's status table. Only Status is read: bit 0 says the hypervisor
// runs on that processor, bits 28 to 31 hold its problem code.
struct ProcessorStatus {
    std::uint32_t Id = 0;
    std::uint32_t Status = 0;
};

using ProcessorStatusTable = std::vector<ProcessorStatus>;

// Outcome of a status read.
using DriverResult = std::uint8_t;
inline constexpr DriverResult kStatusRead = 0;
inline constexpr DriverResult kReadFailed = 253;
inline constexpr DriverResult kDeviceNotOpened = 254;
inline constexpr DriverResult kDriverError = 255;  // error reported, no table, or bad counts

using HypervisorState = std::uint8_t;
inline constexpr HypervisorState kEnabledEverywhere = 0;
inline constexpr HypervisorState kEnabledPartly = 1;
inline constexpr HypervisorState kEnabledNowhere = 2;

using ProblemFlags = std::uint8_t;
inline constexpr ProblemFlags kProcessorNotSupported = 0x01;
inline constexpr ProblemFlags kNoVirtualizationTechnology = 0x02;
inline constexpr ProblemFlags kVirtualizationTechnologyNotAllowed = 0x04;
inline constexpr ProblemFlags kResourceAllocationFailed = 0x08;
inline constexpr ProblemFlags kDriverWorksWithErrors = 0x10;
inline constexpr ProblemFlags kDriverWorksWithErrorsToo = 0x20;

}  // namespace driver
