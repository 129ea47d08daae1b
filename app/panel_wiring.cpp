#include "app/panel_wiring.h"

#include "driver/driver_link.h"
#include "settings/autostart.h"
#include "settings/settings_store.h"
#include "ui/status_evaluation.h"

namespace app {

void WireSlots(ui::TfrmControlPanel& panel) noexcept {
    panel.GetSettingsProc = &settings::GetSettings;
    panel.SetSettingsProc = &settings::SetSettings;
    panel.IsAutostartEnabledProc = &settings::IsAutostartEnabled;
    panel.SetAutostartProc = &settings::SetAutostart;
    panel.RefreshStatusProc = &ui::RefreshStatus;
    panel.EnableHypervisorProc = &driver::EnableHypervisor;
    panel.DisableHypervisorProc = &driver::DisableHypervisor;
}

PanelReference::PanelReference(ui::TfrmControlPanel& panel) noexcept {
    ui::SetControlPanel(&panel);
}

PanelReference::~PanelReference() {
    ui::SetControlPanel(nullptr);
}

}  // namespace app
