#include "ui/tray_backoff.h"

namespace ui {

std::uint32_t AddBackoff::NextDelayMs() noexcept {
    const std::uint32_t delay = next_;
    next_ = delay >= kLongestRetryMs / 2 ? kLongestRetryMs : delay * 2;
    return delay;
}

}  // namespace ui
