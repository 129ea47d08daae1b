#include "app/instance_rules.h"

namespace app {

InstanceState ClassifyInstance(std::uint32_t lastError, bool handleIsNull) noexcept {
    // Access denied: the mutex exists but belongs to a session or user we may not open.
    if (lastError == kErrorAlreadyExists || lastError == kErrorAccessDenied)
        return InstanceState::Another;
    return handleIsNull ? InstanceState::Failed : InstanceState::First;
}

}  // namespace app
