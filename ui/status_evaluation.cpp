#include "ui/status_evaluation.h"

#include "driver/driver_link.h"
#include "settings/settings_store.h"
#include "ui/form_control_panel.h"
#include "ui/status_decision.h"

namespace ui {

bool BalloonShown = false;

StatusSource CurrentStatusSource = {&driver::ReadDriverStatus, &driver::GetHypervisorState,
                                    &driver::GetProblemFlags, &settings::SaveSettings};

namespace {
TfrmControlPanel* g_panel = nullptr;
}  // namespace

void UpdateStatus(TfrmControlPanel& panel) {
    // All three always, in this order: the aggregations read the table just replaced.
    const auto driverResult = CurrentStatusSource.readDriverStatus();
    const auto hypervisorState = CurrentStatusSource.getHypervisorState();
    const auto problemFlags = CurrentStatusSource.getProblemFlags();
    panel.DriverResult = driverResult;
    panel.HypervisorState = hypervisorState;
    panel.ProblemFlags = problemFlags;

    const StatusOutcome outcome = DecideStatus(
        {driverResult, hypervisorState, problemFlags, settings::Messages, BalloonShown});
    panel.lbGeneralStatus.SetText(outcome.caption);
    panel.lbGeneralDescription.SetText(outcome.description);
    if (outcome.balloon)
        panel.ShowBalloon(kBalloonTitle, outcome.balloon->text, outcome.balloon->iconKind);
    settings::Messages = outcome.messages;
    BalloonShown = outcome.balloonShown;
    CurrentStatusSource.saveSettings();
}

void RefreshStatus(bool resetBalloon) {
    if (resetBalloon) BalloonShown = false;
    if (g_panel) UpdateStatus(*g_panel);
}

void SetControlPanel(TfrmControlPanel* panel) {
    g_panel = panel;
}

}  // namespace ui
