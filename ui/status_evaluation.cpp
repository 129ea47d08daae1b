#include "ui/status_evaluation.h"

#include "driver/driver_link.h"
#include "settings/settings_store.h"
#include "ui/form_control_panel.h"
#include "ui/status_decision.h"

namespace ui {

StatusSource DriverStatusSource() noexcept {
    return {&driver::ReadDriverStatus, &driver::GetHypervisorState, &driver::GetProblemFlags,
            &settings::SaveSettings};
}

void StatusEvaluation::RefreshStatus(TfrmControlPanel& panel, bool resetBalloon) {
    if (resetBalloon) BalloonShown = false;
    UpdateStatus(panel);
}

void StatusEvaluation::UpdateStatus(TfrmControlPanel& panel) {
    // All three always, in this order: the aggregations read the table just replaced.
    const auto driverResult = source_.readDriverStatus();
    const auto hypervisorState = source_.getHypervisorState();
    const auto problemFlags = source_.getProblemFlags();

    StatusOutcome outcome = DecideStatus(
        {driverResult, hypervisorState, problemFlags, settings::Messages, BalloonShown});
    panel.ShowStatus({driverResult, hypervisorState, problemFlags, std::move(outcome.caption),
                      std::move(outcome.description), std::move(outcome.balloon)});
    settings::Messages = outcome.messages;
    BalloonShown = outcome.balloonShown;
    source_.saveSettings();
}

}  // namespace ui
