// korvalenctl: the administrator's console tool. It opens no window and takes no
// single-instance mutex; what it prints and its exit codes are in ctl_logic.
#include "ctl/ctl_logic.h"
#include "ctl/quit_panel.h"
#include "driver/driver_link.h"
#include "settings/machine_policy.h"
#include "win32/unique_win.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Print(std::FILE* stream, const std::string& text) {
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

int Status(bool json) {
    status::StatusReading reading;
    reading.driverResult = driver::ReadDriverStatus();
    reading.hypervisorState = driver::GetHypervisorState();
    reading.problemFlags = driver::GetProblemFlags();
    if (json)
        Print(stdout, ctl::StatusJson(reading,
                                      ctl::CountProcessors(driver::CurrentProcessorStatusTable())));
    else
        Print(stdout, ctl::StatusText(reading));
    return ctl::StatusExitCode(reading);
}

// An elevated administrator may switch whatever the policy says: the policy keeps the
// switch from users and from their scripts.
bool Elevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const win32::UniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

int Command(driver::HypervisorCommand command) {
    if (!settings::ReadMachinePolicy().SwitchingAllowed() && !Elevated()) {
        const ctl::CommandReport report = ctl::SwitchingTurnedOff();
        Print(stderr, report.errorText + "\n");
        return report.exitCode;
    }
    const driver::CommandOutcome outcome = command == driver::HypervisorCommand::Enable
                                               ? driver::EnableHypervisor()
                                               : driver::DisableHypervisor();
    const ctl::CommandReport report = ctl::ReportCommand(command, outcome);
    if (!report.errorText.empty()) Print(stderr, report.errorText + "\n");
    return report.exitCode;
}

int Run(const ctl::Arguments& args) {
    switch (args.verb) {
        case ctl::Verb::Status: return Status(args.json);
        case ctl::Verb::Enable: return Command(driver::HypervisorCommand::Enable);
        case ctl::Verb::Disable: return Command(driver::HypervisorCommand::Disable);
        case ctl::Verb::QuitPanel:
            return ctl::QuitPanel() ? ctl::kExitAccepted : ctl::kExitPanelStillRunning;
        case ctl::Verb::Help: Print(stdout, ctl::HelpText()); return 0;
        case ctl::Verb::Version: Print(stdout, std::string(KORVALEN_VERSION) + "\n"); return 0;
        case ctl::Verb::Invalid: break;
    }
    Print(stderr, ctl::UsageText());
    return ctl::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    const int code = Run(ctl::ParseArguments(args));
    driver::ReleaseProcessorStatusTable();
    return code;
}
