#include "ui/status_decision.h"

#include <array>

namespace ui {
namespace {

constexpr std::uint8_t kReadFailed = 253;
constexpr std::uint8_t kCannotOpen = 254;
constexpr std::uint8_t kDriverError = 255;

struct StateTexts {
    const char* caption;
    const char* balloon;
    const char* lineWithoutProblems;
};

constexpr std::array<StateTexts, 3> kStateTexts{{
    {"Hypervisor enabled", "Korvalen is started and works properly", "Hypervisor works properly"},
    {"Hypervisor enabled partly", "Korvalen does not work properly", "Korvalen works with errors"},
    {"Hypervisor not enabled", "Korvalen does work in Legacy Mode", "Hypervisor disabled manually"},
}};

// Problem lines in the order they are listed; nullptr: no line for that state.
struct ProblemLine {
    std::uint8_t flags;
    std::array<const char*, 3> byState;
};

constexpr std::array<ProblemLine, 5> kProblemLines{{
    {0x01, {nullptr, "Not every processor is supported", "Your processor is not supported"}},
    {0x02,
     {nullptr, "Not every processor supports Virtualization Technoligy",
      "Your processor does not support Virtualization Technoligy"}},
    {0x04,
     {nullptr, "Virtualization Technoligy is not allowed completely in BIOS",
      "Virtualization Technoligy is not allowed in BIOS"}},
    {0x08,
     {"Error while allocating resources", "Error while allocating resources",
      "Error while allocating resources"}},
    // Both driver-error codes give one line.
    {0x10 | 0x20,
     {"Korvalen driver works with errors", "Korvalen driver works with errors",
      "Korvalen driver works with errors"}},
}};

// The driver could not be read: caption, description, balloon text.
void DescribeDriverFailure(std::uint8_t result, StatusOutcome& out, BalloonRequest& balloon) {
    out.caption = "General error";
    switch (result) {
        case kCannotOpen: out.description = "Failed connect to Korvalen driver"; break;
        case kDriverError: out.description = "Korvalen driver works with errors"; break;
        case kReadFailed:
        default: out.description = "Error while communicating to Korvalen driver"; break;
    }
    balloon.text = result == kDriverError ? "Korvalen works with errors" : out.description;
    balloon.iconKind = kIconError;
}

void DescribeState(std::uint8_t state, std::uint8_t flags, StatusOutcome& out,
                   BalloonRequest& balloon) {
    const StateTexts& texts = kStateTexts[state];
    out.caption = texts.caption;
    balloon.text = texts.balloon;
    balloon.iconKind = state == 0   ? kIconInfo
                       : state == 1 ? kIconWarning
                       : flags != 0 ? kIconError
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
    const bool failed = in.driverResult != 0;
    // A state outside 0..2 cannot come from a successful read; show it as not enabled.
    const std::uint8_t state = in.hypervisorState <= 2 ? in.hypervisorState : 2;
    if (failed)
        DescribeDriverFailure(in.driverResult, out, balloon);
    else
        DescribeState(state, in.problemFlags, out, balloon);

    if (in.balloonShown) return out;

    // Once the first evaluation has run, only what needs attention is shown again.
    bool show = true;
    if ((in.messages & kMessagesEvaluated) != 0 && !failed) {
        if (state == 0) {
            show = false;
        } else if (state == 2 && in.problemFlags == 0) {
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
