#include "status/status_decision.h"

#include "driver/driver_types.h"

#include <utility>

namespace status {

StatusOutcome DecideStatus(const StatusReading& reading, const BalloonHistory& history) {
    StatusDescription described = DescribeStatus(reading);
    StatusOutcome out{
        {reading, std::move(described.caption), std::move(described.description), std::nullopt},
        history};
    if (history.balloonShown) return out;

    const bool failed = reading.driverResult != driver::kStatusRead;
    // A state outside the three reads as not enabled, as its texts do.
    const driver::HypervisorState state = reading.hypervisorState <= driver::kEnabledNowhere
                                              ? reading.hypervisorState
                                              : driver::kEnabledNowhere;
    // Once the first evaluation has run, only what needs attention is shown again.
    bool show = true;
    if ((history.messages & kMessagesEvaluated) != 0 && !failed) {
        if (state == driver::kEnabledEverywhere) {
            show = false;
        } else if (state == driver::kEnabledNowhere && reading.problemFlags == 0) {
            show = (history.messages & kMessagesLegacyNoticed) == 0;
            out.history.messages |= kMessagesLegacyNoticed;
        }
    }
    if (show) out.status.balloon = std::move(described.balloon);
    out.history.messages |= kMessagesEvaluated;
    out.history.balloonShown = true;
    return out;
}

}  // namespace status
