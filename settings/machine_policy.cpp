#include "settings/machine_policy.h"

#include "settings/registry_api.h"

#include <cstdint>

namespace settings {

namespace {

std::optional<bool> ReadSwitch(HKEY key, const char* name) noexcept {
    DWORD type = 0;
    std::uint32_t value = 0;
    DWORD size = sizeof value;
    const LSTATUS status =
        Registry().QueryValue(key, name, &type, reinterpret_cast<BYTE*>(&value), &size);
    // Too long for a number (ERROR_MORE_DATA) counts as not set, as any other failure.
    return PolicySwitch(status == ERROR_SUCCESS, type, &value, size);
}

}  // namespace

MachinePolicy ReadMachinePolicy() noexcept {
    MachinePolicy policy;
    try {
        win32::UniqueKey key;
        // Read only: a policy is the administrator's to write. The program's own view.
        if (Registry().OpenKey(HKEY_LOCAL_MACHINE, kPolicyKey, KEY_QUERY_VALUE, key) !=
            ERROR_SUCCESS)
            return policy;
        policy.allowSwitching = ReadSwitch(key.get(), kAllowSwitchingValue);
        policy.allowSettingsChange = ReadSwitch(key.get(), kAllowSettingsChangeValue);
        policy.disableHypervisorAtStart = ReadSwitch(key.get(), kDisableHypervisorAtStartValue);
    } catch (...) {
        // A test's registry stand-in may throw: no policy is then read, as without a key.
        return {};
    }
    return policy;
}

}  // namespace settings
