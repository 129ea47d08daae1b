#include "app/process_state.h"

#include "driver/driver_link.h"
#include "settings/autostart.h"
#include "settings/settings_store.h"
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
    if (g_state) g_state->ShowCommandOutcome(outcome);
}

void DisableHypervisor() {
    const driver::CommandOutcome outcome = driver::DisableHypervisor();
    if (g_state) g_state->ShowCommandOutcome(outcome);
}

}  // namespace

ProcessState::ProcessState(ui::StatusSource statusSource, ui::ShellNotifyFunction shellNotify)
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
    if (panel_) status_.RefreshStatus(*panel_, resetBalloon);
}

void ProcessState::ShowCommandOutcome(const driver::CommandOutcome& outcome) noexcept {
    // The link has closed the device by now: the modal message holds no handle open.
    if (outcome.text != nullptr) ui::ShowMessageWindow(&application_, outcome.text);
}

void WireSlots(ui::TfrmControlPanel& panel) {
    panel.GetSettingsProc = &settings::GetSettings;
    panel.SetSettingsProc = &settings::SetSettings;
    panel.IsAutostartEnabledProc = &settings::IsAutostartEnabled;
    panel.SetAutostartProc = &settings::SetAutostart;
    panel.RefreshStatusProc = &RefreshStatus;
    panel.EnableHypervisorProc = &EnableHypervisor;
    panel.DisableHypervisorProc = &DisableHypervisor;
    // The click handlers call their slots untested: check them once, here.
    if (!panel.GetSettingsProc || !panel.SetSettingsProc || !panel.IsAutostartEnabledProc ||
        !panel.SetAutostartProc || !panel.RefreshStatusProc || !panel.EnableHypervisorProc ||
        !panel.DisableHypervisorProc)
        throw std::logic_error("A slot of the control panel is empty.");
}

}  // namespace app
