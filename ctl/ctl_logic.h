// The administrator's console tool without Win32: its arguments, its exit codes, and the
// texts and JSON it prints. The condensing and every status text come from status/.
#pragma once

#include "driver/driver_types.h"
#include "driver/hypervisor_commands.h"
#include "status/status_texts.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ctl {

enum class Verb { Status, Enable, Disable, QuitPanel, Help, Version, Invalid };

struct Arguments {
    Verb verb = Verb::Invalid;
    bool json = false;  // status only
};

// Element 0 of args is the program; the verb comes first, then its options.
[[nodiscard]] Arguments ParseArguments(const std::vector<std::string>& args);

// The exit codes; scripts rely on these numbers.
inline constexpr int kExitEnabled = 0;
inline constexpr int kExitAccepted = 0;
inline constexpr int kExitPartly = 1;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitPanelStillRunning = 1;
inline constexpr int kExitNotEnabled = 2;
inline constexpr int kExitNotReachable = 3;
inline constexpr int kExitDriverError = 4;
inline constexpr int kExitSwitchingTurnedOff = 6;
inline constexpr int kExitUsage = 64;

// How many processors the last successful read listed, and on how many the hypervisor runs.
struct ProcessorCounts {
    std::size_t total = 0;
    std::size_t enabled = 0;
};

[[nodiscard]] ProcessorCounts CountProcessors(const driver::ProcessorStatusTable& table);

[[nodiscard]] int StatusExitCode(const status::StatusReading& reading);

// A command's outcome for a script: its exit code and the text the panel would show for it
// (empty when the panel shows none; for an unreachable driver, the status's text for that).
struct CommandReport {
    int exitCode = kExitAccepted;
    std::string errorText;
};

// A command that the machine policy turns off, for a process that is not elevated.
[[nodiscard]] CommandReport SwitchingTurnedOff();

[[nodiscard]] CommandReport ReportCommand(driver::HypervisorCommand command,
                                          const driver::CommandOutcome& outcome);

// The description lines as the panel shows them, one by one (its LF CR separators gone).
[[nodiscard]] std::vector<std::string> DescriptionLines(std::string_view description);

// The caption, then each description line, each ended with a newline.
[[nodiscard]] std::string StatusText(const status::StatusReading& reading);

// One JSON object (and a newline): state, counts, problem flags by name, driver result,
// caption and description lines. Counts are null when the read did not succeed.
[[nodiscard]] std::string StatusJson(const status::StatusReading& reading,
                                     const ProcessorCounts& counts);

// Stable names of what JSON reports.
[[nodiscard]] const char* StateName(const status::StatusReading& reading) noexcept;
[[nodiscard]] const char* DriverResultName(driver::DriverResult result) noexcept;
[[nodiscard]] std::vector<const char*> ProblemNames(driver::ProblemFlags flags);

// A JSON string literal, quotes included: control characters and non-ASCII bytes escaped,
// the latter as the single-byte text's code points.
[[nodiscard]] std::string JsonString(std::string_view text);

[[nodiscard]] std::string UsageText();
[[nodiscard]] std::string HelpText();

}  // namespace ctl
