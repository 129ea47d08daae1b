// Reading and condensing the driver's status stream. Win32-free; the device is behind
// DevicePort.
//
// The stream is a sequence of signed 64-bit little-endian values: Count, a second header
// value, then two values per processor record (Id, Status in their low halves).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "driver/device_port.h"
#include "driver/driver_types.h"

namespace driver {

inline constexpr std::size_t kStreamValueSize = 8;
inline constexpr std::size_t kRecordSize = 16;  // also the header's size

// The most records a table can have. No Windows edition runs more than a few thousand
// logical processors; a larger Count is a fault, and a buffer sized by it could hold the
// GUI thread for seconds and take gigabytes. At the bound the second read asks for 1 MB.
inline constexpr std::uint32_t kMaxRecords = 65536;

// The signed 64-bit little-endian value at the given byte offset (which must fit).
[[nodiscard]] std::int64_t StreamValueAt(std::span<const std::byte> stream, std::size_t offset);

// The number of records a first-read Count announces, or nothing when the count is an
// error report (-1) or cannot be a table: low half negative, low half zero while the whole
// value is not, or more than kMaxRecords records. A Count of 0 is a table of no records.
[[nodiscard]] std::optional<std::uint32_t> RecordsAnnounced(std::int64_t count);

// The records of a second read, for a buffer of (announced + 1) * 16 bytes; nothing when its
// Count is 0 (no table), is not a table, or claims more records than the buffer holds.
[[nodiscard]] std::optional<std::uint32_t> RecordsDelivered(std::span<const std::byte> stream,
                                                            std::uint32_t announced);

// Replaces table by the first `records` records of the stream. Nothing beyond them is read.
void DecodeRecords(std::span<const std::byte> stream, std::uint32_t records,
                   ProcessorStatusTable& table);

// Opens the device, reads the stream in two reads and, on success, replaces the table.
// Never throws; a failure leaves the table as it was.
[[nodiscard]] DriverResult ReadStatusTable(DevicePort& port, ProcessorStatusTable& table) noexcept;

// The table condensed: where the hypervisor runs, and which problems the processors report.
[[nodiscard]] HypervisorState HypervisorStateOf(const ProcessorStatusTable& table) noexcept;
[[nodiscard]] ProblemFlags ProblemFlagsOf(const ProcessorStatusTable& table) noexcept;

}  // namespace driver
