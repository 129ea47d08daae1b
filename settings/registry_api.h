// The registry calls that the settings store and the autostart code make. By default they
// go to the real registry; a test puts its own in place to make one chosen call fail.
#pragma once

#include "win32/unique_win.h"

#include <windows.h>

namespace settings {

class RegistryApi {
public:
    RegistryApi() = default;
    RegistryApi(const RegistryApi&) = delete;
    RegistryApi& operator=(const RegistryApi&) = delete;
    virtual ~RegistryApi() = default;

    // RegCreateKeyExA without class or security attributes, non-volatile. On success key
    // owns the key; otherwise it is left empty.
    virtual LSTATUS CreateKey(HKEY parent, const char* subKey, REGSAM access,
                              win32::UniqueKey& key);
    virtual LSTATUS OpenKey(HKEY parent, const char* subKey, REGSAM access, win32::UniqueKey& key);
    virtual LSTATUS QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
    virtual LSTATUS SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
    virtual LSTATUS DeleteValue(HKEY key, const char* name);
};

// The calls in use now.
[[nodiscard]] RegistryApi& Registry();

// Puts other calls in place for the life of this object.
class RegistryOverride {
public:
    explicit RegistryOverride(RegistryApi& replacement) noexcept;
    ~RegistryOverride();
    RegistryOverride(const RegistryOverride&) = delete;
    RegistryOverride& operator=(const RegistryOverride&) = delete;

private:
    RegistryApi* previous_;
};

}  // namespace settings
