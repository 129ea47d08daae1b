#include "settings/policy_values.h"

#include <cstring>

namespace settings {

std::optional<bool> PolicySwitch(bool present, std::uint32_t type, const void* data,
                                 std::size_t size) noexcept {
    if (!present || type != kRegistryDword || data == nullptr || size != sizeof(std::uint32_t))
        return std::nullopt;
    std::uint32_t value = 0;
    std::memcpy(&value, data, sizeof value);
    if (value > 1) return std::nullopt;
    return value == 1;
}

bool DisableAtStart(const MachinePolicy& policy, std::int32_t settings) noexcept {
    if (policy.disableHypervisorAtStart) return *policy.disableHypervisorAtStart;
    return (settings & 1) == 1;
}

}  // namespace settings
