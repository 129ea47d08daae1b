#include "app/panel_wiring.h"

#include "driver/driver_link.h"
#include "settings/autostart.h"
#include "settings/settings_store.h"
#include "ui/form_message_box.h"
#include "ui/status_evaluation.h"

namespace app {

namespace {

void EnableHypervisorCommand() {
    ShowCommandOutcome(driver::EnableHypervisor());
}

void DisableHypervisorCommand() {
    ShowCommandOutcome(driver::DisableHypervisor());
}

}  // namespace

void ShowCommandOutcome(const driver::CommandOutcome& outcome) noexcept {
    // The link has closed the device by now: the modal message holds no handle open.
    if (outcome.text != nullptr) ui::ShowMessageWindow(outcome.text);
}

void WireSlots(ui::TfrmControlPanel& panel) noexcept {
    panel.GetSettingsProc = &settings::GetSettings;
    panel.SetSettingsProc = &settings::SetSettings;
    panel.IsAutostartEnabledProc = &settings::IsAutostartEnabled;
    panel.SetAutostartProc = &settings::SetAutostart;
    panel.RefreshStatusProc = &ui::RefreshStatus;
    panel.EnableHypervisorProc = &EnableHypervisorCommand;
    panel.DisableHypervisorProc = &DisableHypervisorCommand;
}

PanelReference::PanelReference(ui::TfrmControlPanel& panel) noexcept {
    ui::SetControlPanel(&panel);
}

PanelReference::~PanelReference() {
    ui::SetControlPanel(nullptr);
}

}  // namespace app
