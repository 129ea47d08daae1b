// The one processor status table of the process, and its aggregations.
#include "driver/processor_status_table.h"

#include "driver/status_stream.h"

namespace driver {

namespace {
ProcessorStatusTable& Table() noexcept {
    static ProcessorStatusTable table;
    return table;
}
}  // namespace

DriverResult ReadDriverStatusFrom(DevicePort& port) noexcept {
    return ReadStatusTable(port, Table());
}

const ProcessorStatusTable& CurrentProcessorStatusTable() noexcept {
    return Table();
}

HypervisorState GetHypervisorState() noexcept {
    return HypervisorStateOf(Table());
}

ProblemFlags GetProblemFlags() noexcept {
    return ProblemFlagsOf(Table());
}

void ReleaseProcessorStatusTable() noexcept {
    ProcessorStatusTable().swap(Table());
}

}  // namespace driver
