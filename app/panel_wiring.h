// How the control panel reaches the driver, the settings and the status evaluation: its
// seven callback slots, and the process-wide reference that the status refresh uses.
#pragma once

#include "driver/hypervisor_commands.h"
#include "ui/form_control_panel.h"

namespace app {

// Shows a driver command's text, if it has one, in the message window.
void ShowCommandOutcome(const driver::CommandOutcome& outcome) noexcept;

// Stores the seven operations in the panel's slots, one after another.
void WireSlots(ui::TfrmControlPanel& panel) noexcept;

// Makes the panel the one that RefreshStatus works on, for the life of this object.
class PanelReference {
public:
    explicit PanelReference(ui::TfrmControlPanel& panel) noexcept;
    ~PanelReference();
    PanelReference(const PanelReference&) = delete;
    PanelReference& operator=(const PanelReference&) = delete;
};

}  // namespace app
