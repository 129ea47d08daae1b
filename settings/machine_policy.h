// Reads the administrator's machine policy from the registry.
#pragma once

#include "settings/policy_values.h"

namespace settings {

// Read anew at each call; a key that cannot be opened sets nothing. Never throws.
[[nodiscard]] MachinePolicy ReadMachinePolicy() noexcept;

}  // namespace settings
