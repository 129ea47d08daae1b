#include "status/status_texts.h"

#include <array>
#include <cstdint>

namespace status {
namespace {

// Texts that more than one place shows.
constexpr const char* kWorksWithErrorsText = "Korvalen works with errors";
constexpr const char* kAllocationErrorText = "Error while allocating resources";

// The answer words the commands give a meaning to.
constexpr std::uint32_t kAnswerRefused = 1;
constexpr std::uint32_t kAnswerDriverError = 255;

struct StateTexts {
    const char* caption;
    const char* balloon;
    const char* lineWithoutProblems;
};

// By hypervisor state: driver::kEnabledEverywhere, kEnabledPartly, kEnabledNowhere.
constexpr std::array<StateTexts, 3> kStateTexts{{
    {"Hypervisor enabled", "Korvalen is started and works properly", "Hypervisor works properly"},
    {"Hypervisor enabled partly", "Korvalen does not work properly", kWorksWithErrorsText},
    {"Hypervisor not enabled", "Korvalen does work in Legacy Mode", "Hypervisor disabled manually"},
}};
static_assert(driver::kEnabledEverywhere == 0 && driver::kEnabledPartly == 1 &&
              driver::kEnabledNowhere == 2);

// Problem lines in the order they are listed; nullptr: no line for that state.
struct ProblemLine {
    driver::ProblemFlags flags;
    std::array<const char*, 3> byState;
};

constexpr std::array<ProblemLine, 5> kProblemLines{{
    {driver::kProcessorNotSupported,
     {nullptr, "Not every processor is supported", "Your processor is not supported"}},
    {driver::kNoVirtualizationTechnology,
     {nullptr, "Not every processor supports Virtualization Technoligy",
      "Your processor does not support Virtualization Technoligy"}},
    {driver::kVirtualizationTechnologyNotAllowed,
     {nullptr, "Virtualization Technoligy is not allowed completely in BIOS",
      "Virtualization Technoligy is not allowed in BIOS"}},
    {driver::kResourceAllocationFailed,
     {kAllocationErrorText, kAllocationErrorText, kAllocationErrorText}},
    // Both driver-error codes give one line.
    {driver::kDriverWorksWithErrors | driver::kDriverWorksWithErrorsToo,
     {kDriverWorksWithErrorsText, kDriverWorksWithErrorsText, kDriverWorksWithErrorsText}},
}};

// The driver could not be read.
StatusDescription DescribeDriverFailure(driver::DriverResult result) {
    StatusDescription out;
    out.caption = "General error";
    switch (result) {
        case driver::kDeviceNotOpened: out.description = "Failed connect to Korvalen driver"; break;
        case driver::kDriverError: out.description = kDriverWorksWithErrorsText; break;
        case driver::kReadFailed:
        default: out.description = kCommunicationErrorText; break;
    }
    out.balloon.text = result == driver::kDriverError ? kWorksWithErrorsText : out.description;
    out.balloon.iconKind = kIconError;
    return out;
}

StatusDescription DescribeState(driver::HypervisorState state, driver::ProblemFlags flags) {
    const StateTexts& texts = kStateTexts[state];
    StatusDescription out;
    out.caption = texts.caption;
    out.balloon.text = texts.balloon;
    out.balloon.iconKind = state == driver::kEnabledEverywhere ? kIconInfo
                           : state == driver::kEnabledPartly   ? kIconWarning
                           : flags != 0                        ? kIconError
                                                               : kIconWarning;
    if (flags == 0) {
        out.description = AppendDescriptionLine({}, texts.lineWithoutProblems);
        return out;
    }
    for (const ProblemLine& line : kProblemLines) {
        if ((flags & line.flags) != 0 && line.byState[state] != nullptr)
            out.description =
                AppendDescriptionLine(std::move(out.description), line.byState[state]);
    }
    return out;
}

}  // namespace

StatusDescription DescribeStatus(const StatusReading& reading) {
    if (reading.driverResult != driver::kStatusRead)
        return DescribeDriverFailure(reading.driverResult);
    const driver::HypervisorState state = reading.hypervisorState <= driver::kEnabledNowhere
                                              ? reading.hypervisorState
                                              : driver::kEnabledNowhere;
    return DescribeState(state, reading.problemFlags);
}

std::string AppendDescriptionLine(std::string text, std::string_view line) {
    text.append(line);
    text += "\n\r";
    return text;
}

const char* CommandMessage(driver::HypervisorCommand command,
                           const driver::CommandOutcome& outcome) noexcept {
    switch (outcome.result) {
        case driver::CommandResult::NotOpened: return nullptr;
        case driver::CommandResult::ControlFailed: return kCommunicationErrorText;
        case driver::CommandResult::Answered: break;
    }
    if (outcome.answer == kAnswerDriverError) return kDriverWorksWithErrorsText;
    if (outcome.answer == kAnswerRefused && command == driver::HypervisorCommand::Enable)
        return kCannotEnableText;
    return nullptr;
}

}  // namespace status
