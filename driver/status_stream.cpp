#include "driver/status_stream.h"

#include <cstring>
#include <new>
#include <vector>

namespace driver {

namespace {

// Every problem code's flag; codes 6 to 14 mean nothing to the control panel.
constexpr ProblemFlags kProblemFlagOfCode[16] = {
    0,
    kProcessorNotSupported,
    kNoVirtualizationTechnology,
    kVirtualizationTechnologyNotAllowed,
    kResourceAllocationFailed,
    kDriverWorksWithErrors,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    kDriverWorksWithErrorsToo,
};

}  // namespace

std::int64_t StreamValueAt(std::span<const std::byte> stream, std::size_t offset) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < kStreamValueSize; ++i)
        value |= static_cast<std::uint64_t>(stream[offset + i]) << (8 * i);
    return static_cast<std::int64_t>(value);
}

std::optional<std::uint32_t> RecordsAnnounced(std::int64_t count) {
    if (count == -1) return std::nullopt;  // the driver reports an error
    const auto low = static_cast<std::int32_t>(static_cast<std::uint64_t>(count) & 0xFFFFFFFFu);
    if (low < 0) return std::nullopt;
    if (low == 0 && count != 0) return std::nullopt;
    const auto records = static_cast<std::uint32_t>(low);
    if (records > kMaxRecords) return std::nullopt;  // also keeps a read's length in 32 bits
    return records;
}

std::optional<std::uint32_t> RecordsDelivered(std::span<const std::byte> stream,
                                              std::uint32_t announced) {
    const std::int64_t count = StreamValueAt(stream, 0);
    if (count == 0) return std::nullopt;  // the driver has no table
    const auto records = RecordsAnnounced(count);
    if (!records || *records > announced) return std::nullopt;
    if ((static_cast<std::uint64_t>(*records) + 1) * kRecordSize > stream.size())
        return std::nullopt;
    return records;
}

void DecodeRecords(std::span<const std::byte> stream, std::uint32_t records,
                   ProcessorStatusTable& table) {
    ProcessorStatusTable decoded(records);
    for (std::uint32_t i = 0; i < records; ++i) {
        const std::size_t offset = kRecordSize + kRecordSize * static_cast<std::size_t>(i);
        decoded[i].Id = static_cast<std::uint32_t>(StreamValueAt(stream, offset));
        decoded[i].Status = static_cast<std::uint32_t>(StreamValueAt(stream, offset + 8));
    }
    table.swap(decoded);
}

DriverResult ReadStatusTable(DevicePort& port, ProcessorStatusTable& table) noexcept {
    try {
        std::vector<std::byte> stream;
        {
            const OpenedDevice device(port);
            if (!device) return kDeviceNotOpened;
            std::byte header[kRecordSize] = {};
            if (!port.Read(header, sizeof header)) return kReadFailed;
            const auto announced = RecordsAnnounced(StreamValueAt(header, 0));
            if (!announced) return kDriverError;
            // The second read starts again at the stream's start; what the first read put
            // into the header stays where the second delivers less.
            const std::size_t length = (static_cast<std::size_t>(*announced) + 1) * kRecordSize;
            stream.resize(length);
            std::memcpy(stream.data(), header, sizeof header);
            if (!port.Read(stream.data(), static_cast<std::uint32_t>(length))) return kReadFailed;
        }
        const auto delivered =
            RecordsDelivered(stream, static_cast<std::uint32_t>(stream.size() / kRecordSize - 1));
        if (!delivered) return kDriverError;
        DecodeRecords(stream, *delivered, table);
        return kStatusRead;
    } catch (...) {  // an allocation that fails: the table stays as it was
        return kDriverError;
    }
}

HypervisorState HypervisorStateOf(const ProcessorStatusTable& table) noexcept {
    unsigned seen = 0;  // 1: some processor enabled, 2: some not
    for (const ProcessorStatus& record : table) seen |= (record.Status & 1u) ? 1u : 2u;
    if (seen == 1) return kEnabledEverywhere;
    if (seen == 3) return kEnabledPartly;
    return kEnabledNowhere;  // none enabled, or no records at all
}

ProblemFlags ProblemFlagsOf(const ProcessorStatusTable& table) noexcept {
    ProblemFlags flags = 0;
    for (const ProcessorStatus& record : table) flags |= kProblemFlagOfCode[record.Status >> 28];
    return flags;
}

}  // namespace driver
