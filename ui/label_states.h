// Which of the Enable and Disable labels are available, from the status just read.
// No Win32 here.
#pragma once

#include <cstdint>

namespace ui {

enum class LabelCaller { LoadControlStates, EnableClick, DisableClick };

struct CommandLabels {
    bool enable = false;
    bool disable = false;
    friend bool operator==(const CommandLabels&, const CommandLabels&) = default;
};

// The first matching row decides; some callers leave the labels unchanged (current).
[[nodiscard]] CommandLabels DecideCommandLabels(LabelCaller caller, std::uint8_t driverResult,
                                                std::uint8_t hypervisorState,
                                                std::uint8_t problemFlags, CommandLabels current);

}  // namespace ui
