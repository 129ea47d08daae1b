#include "app/process_state.h"

#include "driver/driver_link.h"
#include "settings/autostart.h"
#include "settings/machine_policy.h"
#include "settings/settings_store.h"
#include "status/status_texts.h"
#include "ui/form_message_box.h"

#include <stdexcept>

namespace app {

namespace {

// The one instance, from its construction to its destruction.
ProcessState* g_state = nullptr;

void RefreshStatus(bool resetBalloon) {
    if (g_state) g_state->RefreshStatus(resetBalloon);
}

void EnableHypervisor() {
    const driver::CommandOutcome outcome = driver::EnableHypervisor();
    if (g_state) g_state->ShowCommandOutcome(driver::HypervisorCommand::Enable, outcome);
}

void DisableHypervisor() {
    const driver::CommandOutcome outcome = driver::DisableHypervisor();
    if (g_state) g_state->ShowCommandOutcome(driver::HypervisorCommand::Disable, outcome);
}

}  // namespace

ProcessState::ProcessState(status::StatusSource statusSource, ui::ShellNotifyFunction shellNotify)
    : status_(statusSource), shellNotify_(shellNotify) {
    if (g_state) throw std::logic_error("The process state exists already.");
    g_state = this;
}

ProcessState::~ProcessState() {
    panel_.reset();
    g_state = nullptr;
}

ui::TfrmControlPanel& ProcessState::CreatePanel() {
    panel_ = toolkit::MakeForm<ui::TfrmControlPanel>(application_, shellNotify_);
    WireSlots(*panel_);
    return *panel_;
}

void ProcessState::RefreshStatus(bool resetBalloon) {
    if (!panel_) return;
    panel_->ShowStatus(status_.RefreshStatus(resetBalloon));
    status_.SaveSettings();
}

void ProcessState::ShowCommandOutcome(driver::HypervisorCommand command,
                                      const driver::CommandOutcome& outcome) noexcept {
    // The link has closed the device by now: the modal message holds no handle open.
    if (const char* text = status::CommandMessage(command, outcome))
        ui::ShowMessageWindow(&application_, text);
}

void WireSlots(ui::TfrmControlPanel& panel) {
    panel.GetSettingsProc = &settings::GetSettings;
    panel.SetSettingsProc = &settings::SetSettings;
    panel.IsAutostartEnabledProc = &settings::IsAutostartEnabled;
    panel.SetAutostartProc = &settings::SetAutostart;
    panel.RefreshStatusProc = &RefreshStatus;
    panel.EnableHypervisorProc = &EnableHypervisor;
    panel.DisableHypervisorProc = &DisableHypervisor;
    panel.GetPolicyProc = &settings::ReadMachinePolicy;
}

}  // namespace app
