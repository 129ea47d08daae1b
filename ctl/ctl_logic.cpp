#include "ctl/ctl_logic.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace ctl {

namespace {

constexpr std::uint32_t kEnabledBit = 0x1;

struct ProblemName {
    driver::ProblemFlags flag;
    const char* name;
};

constexpr std::array<ProblemName, 6> kProblemNames{{
    {driver::kProcessorNotSupported, "processor-not-supported"},
    {driver::kNoVirtualizationTechnology, "no-virtualization-technology"},
    {driver::kVirtualizationTechnologyNotAllowed, "virtualization-technology-not-allowed"},
    {driver::kResourceAllocationFailed, "resource-allocation-failed"},
    {driver::kDriverWorksWithErrors, "driver-works-with-errors"},
    {driver::kDriverWorksWithErrorsToo, "driver-works-with-errors-2"},
}};

std::string Join(const std::vector<std::string>& parts) {
    std::string out = "[";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) out += ",";
        out += parts[i];
    }
    return out + "]";
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments out;
    if (args.size() < 2) return out;
    const std::string& verb = args[1];
    if (args.size() == 2) {
        if (verb == "status")
            out.verb = Verb::Status;
        else if (verb == "enable")
            out.verb = Verb::Enable;
        else if (verb == "disable")
            out.verb = Verb::Disable;
        else if (verb == "quit-panel")
            out.verb = Verb::QuitPanel;
        else if (verb == "--help" || verb == "-h" || verb == "/?")
            out.verb = Verb::Help;
        else if (verb == "--version")
            out.verb = Verb::Version;
        return out;
    }
    if (args.size() == 3 && verb == "status" && args[2] == "--json") {
        out.verb = Verb::Status;
        out.json = true;
    }
    return out;
}

ProcessorCounts CountProcessors(const driver::ProcessorStatusTable& table) {
    ProcessorCounts counts;
    counts.total = table.size();
    for (const driver::ProcessorStatus& p : table)
        if ((p.Status & kEnabledBit) != 0) ++counts.enabled;
    return counts;
}

int StatusExitCode(const status::StatusReading& reading) {
    switch (reading.driverResult) {
        case driver::kStatusRead: break;
        case driver::kDeviceNotOpened: return kExitNotReachable;
        default: return kExitDriverError;  // a failed read, an error reported, bad counts
    }
    switch (reading.hypervisorState) {
        case driver::kEnabledEverywhere: return kExitEnabled;
        case driver::kEnabledPartly: return kExitPartly;
        default: return kExitNotEnabled;  // as the texts read a state outside the three
    }
}

CommandReport SwitchingTurnedOff() {
    return {kExitSwitchingTurnedOff, status::kSwitchingTurnedOffText};
}

CommandReport ReportCommand(driver::HypervisorCommand command,
                            const driver::CommandOutcome& outcome) {
    CommandReport report;
    if (outcome.result == driver::CommandResult::NotOpened) {
        // The panel shows nothing here (its status read says it): take the status's text.
        status::StatusReading unreachable;
        unreachable.driverResult = driver::kDeviceNotOpened;
        report.exitCode = kExitNotReachable;
        report.errorText = DescriptionLines(status::DescribeStatus(unreachable).description).at(0);
        return report;
    }
    const char* text = status::CommandMessage(command, outcome);
    if (text == nullptr) return report;
    report.errorText = text;
    // The only text that is not a driver fault is the refusal to enable.
    report.exitCode =
        std::string_view(text) == status::kCannotEnableText ? kExitRefused : kExitDriverError;
    return report;
}

std::vector<std::string> DescriptionLines(std::string_view description) {
    std::vector<std::string> lines;
    while (!description.empty()) {
        const std::size_t end = description.find("\n\r");
        lines.emplace_back(description.substr(0, end));
        if (end == std::string_view::npos) break;
        description.remove_prefix(end + 2);
    }
    return lines;
}

std::string StatusText(const status::StatusReading& reading) {
    const status::StatusDescription described = status::DescribeStatus(reading);
    std::string out = described.caption + "\n";
    for (const std::string& line : DescriptionLines(described.description)) out += line + "\n";
    return out;
}

const char* StateName(const status::StatusReading& reading) noexcept {
    if (reading.driverResult != driver::kStatusRead) return "unknown";
    switch (reading.hypervisorState) {
        case driver::kEnabledEverywhere: return "enabled";
        case driver::kEnabledPartly: return "enabled-partly";
        default: return "not-enabled";
    }
}

const char* DriverResultName(driver::DriverResult result) noexcept {
    switch (result) {
        case driver::kStatusRead: return "read";
        case driver::kReadFailed: return "read-failed";
        case driver::kDeviceNotOpened: return "not-reachable";
        case driver::kDriverError: return "driver-error";
        default: return "unknown";
    }
}

std::vector<const char*> ProblemNames(driver::ProblemFlags flags) {
    std::vector<const char*> names;
    for (const ProblemName& p : kProblemNames)
        if ((flags & p.flag) != 0) names.push_back(p.name);
    return names;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            // The single-byte text's bytes as code points: a reader always gets valid JSON.
            std::array<char, 8> escaped{};
            std::snprintf(escaped.data(), escaped.size(), "\\u%04x", static_cast<unsigned>(byte));
            out += escaped.data();
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string StatusJson(const status::StatusReading& reading, const ProcessorCounts& counts) {
    const bool read = reading.driverResult == driver::kStatusRead;
    const status::StatusDescription described = status::DescribeStatus(reading);
    std::vector<std::string> problems;
    for (const char* name : ProblemNames(read ? reading.problemFlags : 0))
        problems.push_back(JsonString(name));
    std::vector<std::string> lines;
    for (const std::string& line : DescriptionLines(described.description))
        lines.push_back(JsonString(line));

    std::string out = "{\"state\":" + JsonString(StateName(reading));
    out += ",\"exitCode\":" + std::to_string(StatusExitCode(reading));
    if (read) {
        out += ",\"processors\":{\"total\":" + std::to_string(counts.total) +
               ",\"enabled\":" + std::to_string(counts.enabled) + "}";
    } else {
        out += ",\"processors\":null";
    }
    out += ",\"problemFlags\":" + std::to_string(read ? reading.problemFlags : 0);
    out += ",\"problems\":" + Join(problems);
    out += ",\"driverResult\":{\"code\":" + std::to_string(reading.driverResult) +
           ",\"name\":" + JsonString(DriverResultName(reading.driverResult)) + "}";
    out += ",\"caption\":" + JsonString(described.caption);
    out += ",\"description\":" + Join(lines) + "}\n";
    return out;
}

std::string UsageText() {
    return "usage: korvalenctl status [--json] | enable | disable | quit-panel | --help | "
           "--version\n";
}

std::string HelpText() {
    return UsageText() +
           "\n"
           "  status [--json]  the hypervisor's state as the control panel shows it\n"
           "                   0 enabled on every processor, 1 enabled partly,\n"
           "                   2 not enabled, 3 driver not reachable, 4 driver error\n"
           "  enable, disable  switch the hypervisor as the panel's Enable and Disable do\n"
           "                   0 accepted, 1 refused, 3 driver not reachable,\n"
           "                   4 driver error, 6 turned off by the machine policy\n"
           "                   (AllowSwitching 0) and this process not elevated\n"
           "  quit-panel       end the control panel of this session\n"
           "                   0 ended or none running, 1 still running after 10 s\n"
           "  --help, --version\n"
           "  anything else: this usage on standard error, exit 64\n";
}

}  // namespace ctl
