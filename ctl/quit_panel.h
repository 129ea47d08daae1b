// Ends the control panel of the calling session without any window of our own.
#pragma once

#include <chrono>

namespace ctl {

// True when no panel runs any more (or none ran); false when one still runs at the deadline.
[[nodiscard]] bool QuitPanel(std::chrono::milliseconds deadline = std::chrono::seconds(10));

// True while some instance of the panel program holds the instance mutex of this session.
[[nodiscard]] bool PanelInstanceRuns();

}  // namespace ctl
