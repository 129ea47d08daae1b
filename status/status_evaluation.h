// The status evaluation: reads the driver's status, decides what it means for the user and
// keeps the balloon history in the settings. It knows no window: it hands its one value
// back to whoever shows it, who then saves the settings.
#pragma once

#include "driver/driver_types.h"
#include "status/status_decision.h"

namespace status {

// Where the evaluation takes its reading from and how it saves.
struct StatusSource {
    driver::DriverResult (*readDriverStatus)();
    driver::HypervisorState (*getHypervisorState)();
    driver::ProblemFlags (*getProblemFlags)();
    void (*saveSettings)();
};

// The driver link and the settings store.
[[nodiscard]] StatusSource DriverStatusSource() noexcept;

// Reads the driver through the source: the read, then the table's two aggregations.
[[nodiscard]] StatusReading ReadStatus(const StatusSource& source);

class StatusEvaluation {
public:
    explicit StatusEvaluation(StatusSource source = DriverStatusSource()) noexcept
        : source_(source) {}

    // Forgets the once-only balloon when asked, then runs UpdateStatus.
    [[nodiscard]] PanelStatus RefreshStatus(bool resetBalloon);
    // Reads, decides (DecideStatus), keeps the balloon history in the Messages word and
    // returns what to show.
    [[nodiscard]] PanelStatus UpdateStatus();
    // Saves the settings with the new Messages word. Called once the status is shown, so
    // that a store that cannot be written still leaves the user the status to see.
    void SaveSettings();

    // False at start; true once a balloon evaluation has run since the last reset.
    bool BalloonShown = false;

private:
    StatusSource source_;
};

}  // namespace status
