// The status evaluation: reads the driver's status, decides what it means for the user,
// hands the panel that one value to show, and saves the settings.
#pragma once

#include "driver/driver_types.h"

namespace ui {

class TfrmControlPanel;

// Where the evaluation takes its reading from and how it saves.
struct StatusSource {
    driver::DriverResult (*readDriverStatus)();
    driver::HypervisorState (*getHypervisorState)();
    driver::ProblemFlags (*getProblemFlags)();
    void (*saveSettings)();
};

// The driver link and the settings store.
[[nodiscard]] StatusSource DriverStatusSource() noexcept;

class StatusEvaluation {
public:
    explicit StatusEvaluation(StatusSource source = DriverStatusSource()) noexcept
        : source_(source) {}

    // Forgets the once-only balloon when asked, then runs UpdateStatus.
    void RefreshStatus(TfrmControlPanel& panel, bool resetBalloon);
    // Reads, decides (DecideStatus), hands the panel the result, keeps the balloon history
    // in the Messages word and saves the settings.
    void UpdateStatus(TfrmControlPanel& panel);

    // False at start; true once a balloon evaluation has run since the last reset.
    bool BalloonShown = false;

private:
    StatusSource source_;
};

}  // namespace ui
