// What one status evaluation shows: the caption, the description and at most one balloon,
// chosen from a reading and the balloon history. No Win32 here.
#pragma once

#include "status/status_texts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace status {

inline constexpr char kBalloonTitle[] = "Korvalen";

// Bits of the persisted Messages word that the evaluation owns.
inline constexpr std::int32_t kMessagesEvaluated = 0x01;      // the first evaluation has run
inline constexpr std::int32_t kMessagesLegacyNoticed = 0x02;  // "Legacy Mode" notice given

// Which balloons have been shown: the persisted Messages word and the flag that allows one
// balloon per reset.
struct BalloonHistory {
    std::int32_t messages = 0;
    bool balloonShown = false;
};

// The one value a status refresh hands the panel: the reading and what to show of it.
struct PanelStatus {
    StatusReading reading;
    std::string caption;
    std::string description;
    std::optional<BalloonRequest> balloon;  // empty: no balloon this time
};

struct StatusOutcome {
    PanelStatus status;
    BalloonHistory history;  // the history after this evaluation
};

[[nodiscard]] StatusOutcome DecideStatus(const StatusReading& reading,
                                         const BalloonHistory& history);

}  // namespace status
