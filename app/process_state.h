// The one owner of what the whole process shares: the application object, the control
// panel, the status evaluation (with where it reads the status from) and the shell call
// for the tray icon. Start-up makes the one instance; the panel's callback slots are plain
// function pointers, and the functions stored in them find it here. Nothing else of the
// program is process-wide but the processor status table of the last read (the driver
// link's) and the settings store's two integers, Messages and Settings.
#pragma once

#include "driver/hypervisor_commands.h"
#include "status/status_evaluation.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "ui/form_control_panel.h"
#include "ui/tray_icon.h"

namespace app {

class ProcessState {
public:
    // Makes the application object (its hidden window owns start-up's message boxes) and
    // becomes the instance the slots use. Tests hand in their own status source and shell.
    explicit ProcessState(status::StatusSource statusSource = status::DriverStatusSource(),
                          ui::ShellNotifyFunction shellNotify = &Shell_NotifyIconA);
    // Frees the panel (which removes the tray icon), then the application.
    ~ProcessState();
    ProcessState(const ProcessState&) = delete;
    ProcessState& operator=(const ProcessState&) = delete;

    [[nodiscard]] toolkit::Application& Application() noexcept { return application_; }
    // Null until CreatePanel.
    [[nodiscard]] ui::TfrmControlPanel* Panel() const noexcept { return panel_.get(); }

    // Makes the hidden control panel (its creation adds the tray icon) and stores the
    // seven slots into it.
    ui::TfrmControlPanel& CreatePanel();

    // Evaluates the status, hands the panel what to show and saves the settings; nothing
    // when there is no panel.
    void RefreshStatus(bool resetBalloon);
    // Shows the text of a driver command's outcome, if it has one, in the message window.
    void ShowCommandOutcome(driver::HypervisorCommand command,
                            const driver::CommandOutcome& outcome) noexcept;

    [[nodiscard]] status::StatusEvaluation& Status() noexcept { return status_; }

private:
    toolkit::Application application_;
    status::StatusEvaluation status_;
    ui::ShellNotifyFunction shellNotify_;
    toolkit::FormPtr<ui::TfrmControlPanel> panel_;  // after the application it belongs to
};

// Stores the seven operations in the panel's slots. Their driver commands and the refresh
// go through the current ProcessState.
void WireSlots(ui::TfrmControlPanel& panel);

}  // namespace app
