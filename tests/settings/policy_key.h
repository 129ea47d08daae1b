// The administrator's policy key for a test: gone before and after, values put as asked.
#pragma once

#include "settings/policy_values.h"
#include "win32/unique_win.h"

#include <windows.h>

namespace settingstest {

// The policy key in this process's registry view, which is the tool's.
class Policy {
public:
    Policy() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, settings::kPolicyKey); }
    ~Policy() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, settings::kPolicyKey); }
    Policy(const Policy&) = delete;
    Policy& operator=(const Policy&) = delete;
    static bool Put(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY raw = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, settings::kPolicyKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &raw, nullptr) != ERROR_SUCCESS)
            return false;
        const win32::UniqueKey key(raw);
        return RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) ==
               ERROR_SUCCESS;
    }
    static bool PutDword(const char* name, DWORD value) {
        return Put(name, REG_DWORD, &value, sizeof value);
    }
};

}  // namespace settingstest
