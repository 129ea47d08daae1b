// Fuzzes the status read over a scripted device: whatever the driver delivers, the read
// takes nothing beyond what it asked for, asks for no more than a table at the bound,
// closes the device, reports a known code and keeps the table on failure.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "driver/status_stream.h"
#include "tests/driver/scripted_device_port.h"

namespace {

// Input: one control byte (bit 0 open fails, bit 1 first read fails, bit 2 second read
// fails, bit 3 a later Count follows, bit 4 the second read is cut short), then an optional
// 8-byte later Count and a 2-byte limit, then the stream.
struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint64_t Take(std::size_t bytes) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes && size > 0; ++i, ++data, --size)
            value |= static_cast<std::uint64_t>(*data) << (8 * i);
        return value;
    }
};

[[noreturn]] void Fail() {
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const auto control = static_cast<std::uint8_t>(in.Take(1));
    drivertest::ScriptedDevicePort port;
    port.openSucceeds = (control & 1) == 0;
    port.firstReadFails = (control & 2) != 0;
    port.secondReadFails = (control & 4) != 0;
    if (control & 8) port.laterCount = static_cast<std::int64_t>(in.Take(8));
    if (control & 16) port.laterReadDeliversAtMost = static_cast<std::size_t>(in.Take(2));
    port.stream.assign(reinterpret_cast<const std::byte*>(in.data),
                       reinterpret_cast<const std::byte*>(in.data) + in.size);

    std::byte header[16] = {};
    for (std::size_t i = 0; i < port.stream.size() && i < sizeof header; ++i)
        header[i] = port.stream[i];
    const std::int64_t firstCount = driver::StreamValueAt(header, 0);
    const auto announced = driver::RecordsAnnounced(firstCount);

    driver::ProcessorStatusTable table = {{1, 2}, {3, 4}};
    const driver::DriverResult result = driver::ReadStatusTable(port, table);
    if (port.isOpen || port.closes != port.opens) Fail();
    // No read asks for more than a table at the bound; a first Count beyond it is refused
    // after the 16-byte header, whatever its size.
    for (const std::uint32_t length : port.readLengths)
        if (length > (driver::kMaxRecords + 1) * 16) Fail();
    const auto low = static_cast<std::int32_t>(static_cast<std::uint64_t>(firstCount));
    if (port.openSucceeds && !port.firstReadFails && low > 0 &&
        static_cast<std::uint32_t>(low) > driver::kMaxRecords &&
        (result != driver::kDriverError || port.readLengths.size() != 1))
        Fail();
    if (result == driver::kStatusRead) {
        if (!announced || table.size() > *announced || table.empty()) Fail();
        if (port.readLengths.size() != 2 || port.readLengths[1] != (*announced + 1) * 16) Fail();
    } else {
        if (result != driver::kReadFailed && result != driver::kDeviceNotOpened &&
            result != driver::kDriverError)
            Fail();
        if (table.size() != 2 || table[1].Status != 4) Fail();
    }
    return 0;
}
