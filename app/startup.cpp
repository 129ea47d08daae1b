#include "app/startup.h"

#include "app/command_line.h"
#include "app/instance_rules.h"
#include "app/main_loop.h"
#include "app/panel_wiring.h"
#include "app/single_instance.h"
#include "driver/driver_link.h"
#include "settings/autostart.h"
#include "settings/settings_store.h"
#include "toolkit/application.h"
#include "ui/form_control_panel.h"
#include "ui/form_message_box.h"
#include "win32/unique_win.h"

#include <exception>

namespace app {

namespace {

// Settings bit 0: disable the hypervisor when the panel starts while autostart is on.
constexpr int kDisableAtStartBit = 1;

// From here on the message window has its owner; forgotten before the application object
// that owns those windows goes.
class MessageWindowOwner {
public:
    explicit MessageWindowOwner(toolkit::Application& application) noexcept {
        ui::SetMessageWindowApplication(&application);
    }
    ~MessageWindowOwner() { ui::SetMessageWindowApplication(nullptr); }
    MessageWindowOwner(const MessageWindowOwner&) = delete;
    MessageWindowOwner& operator=(const MessageWindowOwner&) = delete;
};

int Start(std::string_view commandLine, win32::UniqueHandle& instanceMutex) {
    const bool quitRequested = IsQuitRequest(commandLine);
    toolkit::Application application;  // its hidden window owns the start-up message boxes
    if (!ClaimSingleInstance(application.Handle(), quitRequested, instanceMutex)) return 0;

    if (!driver::IsDriverPresent()) return 0;
    if (quitRequested) return 0;  // no instance ran that the request could end
    settings::LoadSettings();
    application.SetTitle(kApplicationTitle);
    const MessageWindowOwner owner(application);
    if (settings::IsAutostartEnabled() &&
        (settings::Settings & kDisableAtStartBit) == kDisableAtStartBit)
        ShowCommandOutcome(driver::DisableHypervisor());

    // Hidden: it is first shown from the tray. Its creation adds the tray icon; whatever
    // ends this function frees it again, and so removes the icon.
    const auto panel = toolkit::MakeForm<ui::TfrmControlPanel>(application);
    const PanelReference reference(*panel);
    WireSlots(*panel);
    panel->RefreshStatusProc(true);
    panel->LoadControlStates();

    RunMainLoop(application);
    return 0;
}

// The top-level report of an error that ended start-up; inside a catch block only.
void ReportStartupError() noexcept {
    constexpr UINT kStyle = MB_OK | MB_ICONERROR | MB_TASKMODAL;
    try {
        throw;
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), kApplicationErrorCaption, kStyle);
        return;
    } catch (...) {
    }
    MessageBoxA(nullptr, "An unknown error occurred.", kApplicationErrorCaption, kStyle);
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
