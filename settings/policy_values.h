// The administrator's machine policy as the program reads it, without Win32: which values
// there are and what a stored value means.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace settings {

// HKEY_LOCAL_MACHINE, in the program's own registry view.
inline constexpr char kPolicyKey[] = "SOFTWARE\\Policies\\Korvalen\\ControlPanel";
inline constexpr char kAllowSwitchingValue[] = "AllowSwitching";
inline constexpr char kAllowSettingsChangeValue[] = "AllowSettingsChange";
inline constexpr char kDisableHypervisorAtStartValue[] = "DisableHypervisorAtStart";

inline constexpr std::uint32_t kRegistryDword = 4;  // REG_DWORD

// Each value set, or empty: not set, and the program behaves as without a policy.
struct MachinePolicy {
    std::optional<bool> allowSwitching;
    std::optional<bool> allowSettingsChange;
    std::optional<bool> disableHypervisorAtStart;

    [[nodiscard]] bool SwitchingAllowed() const noexcept { return allowSwitching.value_or(true); }
    [[nodiscard]] bool SettingsChangeAllowed() const noexcept {
        return allowSettingsChange.value_or(true);
    }
};

// A stored value as read: absent, of another type than a 32-bit number, of another size,
// or other than 0 and 1 counts as not set.
[[nodiscard]] std::optional<bool> PolicySwitch(bool present, std::uint32_t type, const void* data,
                                               std::size_t size) noexcept;

// The start-time disable: the policy's value where it is set, otherwise bit 0 of Settings.
[[nodiscard]] bool DisableAtStart(const MachinePolicy& policy, std::int32_t settings) noexcept;

}  // namespace settings
