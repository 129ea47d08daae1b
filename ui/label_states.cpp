#include "ui/label_states.h"

#include "driver/driver_types.h"

namespace ui {

CommandLabels DecideCommandLabels(LabelCaller caller, std::uint8_t driverResult,
                                  std::uint8_t hypervisorState, std::uint8_t problemFlags,
                                  CommandLabels current) {
    constexpr CommandLabels kNone{false, false};
    constexpr CommandLabels kEnableOnly{true, false};
    constexpr CommandLabels kDisableOnly{false, true};

    if (driverResult != driver::kStatusRead) return kNone;
    if (hypervisorState == driver::kEnabledNowhere) {
        switch (caller) {
            // At start a hypervisor that cannot run offers nothing; after a Disable the user
            // may try Enable again whatever the problem bits say.
            case LabelCaller::LoadControlStates: return problemFlags != 0 ? kNone : kEnableOnly;
            case LabelCaller::EnableClick: return current;
            case LabelCaller::DisableClick: return kEnableOnly;
        }
    }
    return caller == LabelCaller::DisableClick ? current : kDisableOnly;
}

}  // namespace ui
