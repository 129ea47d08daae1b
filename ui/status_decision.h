// What one status evaluation shows: the caption, the description and at most one balloon,
// chosen from the condensed driver status and the balloon history. No Win32 here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

inline constexpr char kBalloonTitle[] = "Korvalen";

// Balloon icon kinds, the values of the shell's NIIF_ flags.
enum IconKind : int { kIconNone = 0, kIconInfo = 1, kIconWarning = 2, kIconError = 3 };

// Bits of the persisted Messages word that the evaluation owns.
inline constexpr std::int32_t kMessagesEvaluated = 0x01;      // the first evaluation has run
inline constexpr std::int32_t kMessagesLegacyNoticed = 0x02;  // "Legacy Mode" notice given

struct StatusInput {
    std::uint8_t driverResult = 0;
    std::uint8_t hypervisorState = 0;
    std::uint8_t problemFlags = 0;
    std::int32_t messages = 0;
    bool balloonShown = false;
};

struct BalloonRequest {
    std::string text;
    int iconKind = kIconNone;
};

struct StatusOutcome {
    std::string caption;
    std::string description;
    std::optional<BalloonRequest> balloon;  // empty: no balloon this time
    std::int32_t messages = 0;              // the new Messages word
    bool balloonShown = false;              // the new BalloonShown flag
};

[[nodiscard]] StatusOutcome DecideStatus(const StatusInput& in);

// The one value a status refresh hands the panel: the reading and what to show of it.
struct PanelStatus {
    std::uint8_t driverResult = 0;
    std::uint8_t hypervisorState = 0;
    std::uint8_t problemFlags = 0;
    std::string caption;
    std::string description;
    std::optional<BalloonRequest> balloon;  // empty: no balloon this time
};

// A description line is appended with LF then CR after it (0x0A 0x0D, in that order).
[[nodiscard]] std::string AppendDescriptionLine(std::string text, std::string_view line);

}  // namespace ui
