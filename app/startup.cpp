#include "app/startup.h"

#include "app/command_line.h"
#include "app/instance_rules.h"
#include "app/main_loop.h"
#include "app/process_state.h"
#include "app/single_instance.h"
#include "driver/driver_link.h"
#include "settings/autostart.h"
#include "settings/machine_policy.h"
#include "settings/settings_store.h"
#include "toolkit/application.h"
#include "win32/unique_win.h"

#include <string>

namespace app {

namespace {

int Start(std::string_view commandLine, win32::UniqueHandle& instanceMutex) {
    const bool quitRequested = IsQuitRequest(commandLine);
    ProcessState state;  // the application's hidden window owns the start-up message boxes
    toolkit::Application& application = state.Application();
    if (!ClaimSingleInstance(application.Handle(), quitRequested, instanceMutex)) return 0;

    if (!driver::IsDriverPresent()) return 0;
    if (quitRequested) return 0;  // no instance ran that the request could end
    settings::LoadSettings();
    application.SetTitle(kApplicationTitle);
    // The machine policy's DisableHypervisorAtStart, where set, takes the place of bit 0.
    if (settings::IsAutostartEnabled() &&
        settings::DisableAtStart(settings::ReadMachinePolicy(), settings::Settings))
        state.ShowCommandOutcome(driver::HypervisorCommand::Disable, driver::DisableHypervisor());

    // Hidden: it is first shown from the tray. Its creation adds the tray icon; the state
    // frees it again whatever ends this function, and so removes the icon.
    ui::TfrmControlPanel& panel = state.CreatePanel();
    // An installer's upgrade closes the panel through the Restart Manager (the panel ends
    // at WM_ENDSESSION); registered, the panel is started again afterwards. Not after a
    // crash or a hang, and not after a reboot: the logon start covers that.
    (void)RegisterApplicationRestart(nullptr,
                                     RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
    panel.RefreshStatusProc(true);
    panel.LoadControlStates();

    RunMainLoop(application);
    return 0;
}

// The top-level report of an error that ended start-up; inside a catch block only.
void ReportStartupError() noexcept {
    constexpr UINT kStyle = MB_OK | MB_ICONERROR | MB_TASKMODAL;
    const std::string text = toolkit::CurrentExceptionText();
    MessageBoxA(nullptr, text.c_str(), kApplicationErrorCaption, kStyle);
}

}  // namespace

int RunControlPanel(std::string_view commandLine) noexcept {
    // Outside the guarded part, so that a second start is still turned away while an
    // error report is up.
    win32::UniqueHandle instanceMutex;
    int exitCode = 0;
    try {
        exitCode = Start(commandLine, instanceMutex);
    } catch (...) {
        ReportStartupError();
        exitCode = 1;
    }
    driver::ReleaseProcessorStatusTable();
    return exitCode;
}

}  // namespace app
