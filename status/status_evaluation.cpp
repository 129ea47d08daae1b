#include "status/status_evaluation.h"

#include "driver/driver_link.h"
#include "settings/settings_store.h"

#include <utility>

namespace status {

StatusSource DriverStatusSource() noexcept {
    return {&driver::ReadDriverStatus, &driver::GetHypervisorState, &driver::GetProblemFlags,
            &settings::SaveSettings};
}

StatusReading ReadStatus(const StatusSource& source) {
    // All three always, in this order: the aggregations read the table just replaced.
    StatusReading reading;
    reading.driverResult = source.readDriverStatus();
    reading.hypervisorState = source.getHypervisorState();
    reading.problemFlags = source.getProblemFlags();
    return reading;
}

PanelStatus StatusEvaluation::RefreshStatus(bool resetBalloon) {
    if (resetBalloon) BalloonShown = false;
    return UpdateStatus();
}

PanelStatus StatusEvaluation::UpdateStatus() {
    StatusOutcome outcome = DecideStatus(ReadStatus(source_), {settings::Messages, BalloonShown});
    settings::Messages = outcome.history.messages;
    BalloonShown = outcome.history.balloonShown;
    return std::move(outcome.status);
}

void StatusEvaluation::SaveSettings() {
    source_.saveSettings();
}

}  // namespace status
