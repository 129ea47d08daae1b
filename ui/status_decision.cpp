#include "ui/status_decision.h"

#include "driver/driver_types.h"
#include "driver/hypervisor_commands.h"

#include <array>

namespace ui {
namespace {

using driver::kCommunicationErrorText;
using driver::kDriverWorksWithErrorsText;

// Texts that more than one place shows.
constexpr const char* kWorksWithErrorsText = "Korvalen works with errors";
constexpr const char* kAllocationErrorText = "Error while allocating resources";

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
    std::uint8_t flags;
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

// The driver could not be read: caption, description, balloon text.
void DescribeDriverFailure(std::uint8_t result, StatusOutcome& out, BalloonRequest& balloon) {
    out.caption = "General error";
    switch (result) {
        case driver::kDeviceNotOpened: out.description = "Failed connect to Korvalen driver"; break;
        case driver::kDriverError: out.description = kDriverWorksWithErrorsText; break;
        case driver::kReadFailed:
        default: out.description = kCommunicationErrorText; break;
    }
    balloon.text = result == driver::kDriverError ? kWorksWithErrorsText : out.description;
    balloon.iconKind = kIconError;
}

void DescribeState(std::uint8_t state, std::uint8_t flags, StatusOutcome& out,
                   BalloonRequest& balloon) {
    const StateTexts& texts = kStateTexts[state];
    out.caption = texts.caption;
    balloon.text = texts.balloon;
    balloon.iconKind = state == driver::kEnabledEverywhere ? kIconInfo
                       : state == driver::kEnabledPartly   ? kIconWarning
                       : flags != 0                        ? kIconError
                                                           : kIconWarning;
    out.description.clear();
    if (flags == 0) {
        out.description =
            AppendDescriptionLine(std::move(out.description), texts.lineWithoutProblems);
        return;
    }
    for (const ProblemLine& line : kProblemLines) {
        if ((flags & line.flags) != 0 && line.byState[state] != nullptr)
            out.description =
                AppendDescriptionLine(std::move(out.description), line.byState[state]);
    }
}

}  // namespace

std::string AppendDescriptionLine(std::string text, std::string_view line) {
    text.append(line);
    text += "\n\r";
    return text;
}

StatusOutcome DecideStatus(const StatusInput& in) {
    StatusOutcome out;
    out.messages = in.messages;
    out.balloonShown = in.balloonShown;

    BalloonRequest balloon;
    const bool failed = in.driverResult != driver::kStatusRead;
    // A state outside the three cannot come from a successful read; show it as not enabled.
    const std::uint8_t state = in.hypervisorState <= driver::kEnabledNowhere
                                   ? in.hypervisorState
                                   : driver::kEnabledNowhere;
    if (failed)
        DescribeDriverFailure(in.driverResult, out, balloon);
    else
        DescribeState(state, in.problemFlags, out, balloon);

    if (in.balloonShown) return out;

    // Once the first evaluation has run, only what needs attention is shown again.
    bool show = true;
    if ((in.messages & kMessagesEvaluated) != 0 && !failed) {
        if (state == driver::kEnabledEverywhere) {
            show = false;
        } else if (state == driver::kEnabledNowhere && in.problemFlags == 0) {
            show = (in.messages & kMessagesLegacyNoticed) == 0;
            out.messages |= kMessagesLegacyNoticed;
        }
    }
    if (show) out.balloon = std::move(balloon);
    out.messages |= kMessagesEvaluated;
    out.balloonShown = true;
    return out;
}

}  // namespace ui
