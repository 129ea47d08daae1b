// The status evaluation: reads the driver's status, writes the panel's status fields and
// texts, asks the tray for at most one balloon between two resets, saves the settings.
#pragma once

#include "driver/driver_types.h"

namespace ui {

class TfrmControlPanel;

// False at start; true once a balloon evaluation has run since the last reset.
extern bool BalloonShown;

void UpdateStatus(TfrmControlPanel& panel);
// Resets the once-only balloon when asked, then runs UpdateStatus on the one panel (none
// set: nothing happens).
void RefreshStatus(bool resetBalloon);
// The process-wide panel that RefreshStatus works on; null forgets it.
void SetControlPanel(TfrmControlPanel* panel);

// Where UpdateStatus takes its reading from and how it saves: the driver link and the
// settings store by default; tests put stand-ins here.
struct StatusSource {
    driver::DriverResult (*readDriverStatus)();
    driver::HypervisorState (*getHypervisorState)();
    driver::ProblemFlags (*getProblemFlags)();
    void (*saveSettings)();
};
extern StatusSource CurrentStatusSource;

}  // namespace ui
