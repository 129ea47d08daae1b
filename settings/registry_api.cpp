#include "settings/registry_api.h"

#include <utility>

namespace settings {

namespace {

RegistryApi& RealRegistry() {
    static RegistryApi real;
    return real;
}

RegistryApi* current = nullptr;

}  // namespace

LSTATUS RegistryApi::CreateKey(HKEY parent, const char* subKey, REGSAM access,
                               win32::UniqueKey& key) {
    HKEY raw = nullptr;
    const LSTATUS status = RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           access, nullptr, &raw, nullptr);
    key.reset(status == ERROR_SUCCESS ? raw : nullptr);
    return status;
}

LSTATUS RegistryApi::OpenKey(HKEY parent, const char* subKey, REGSAM access,
                             win32::UniqueKey& key) {
    HKEY raw = nullptr;
    const LSTATUS status = RegOpenKeyExA(parent, subKey, 0, access, &raw);
    key.reset(status == ERROR_SUCCESS ? raw : nullptr);
    return status;
}

LSTATUS RegistryApi::QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExA(key, name, nullptr, type, data, size);
}

LSTATUS RegistryApi::SetValue(HKEY key, const char* name, DWORD type, const BYTE* data,
                              DWORD size) {
    return RegSetValueExA(key, name, 0, type, data, size);
}

LSTATUS RegistryApi::DeleteValue(HKEY key, const char* name) {
    return RegDeleteValueA(key, name);
}

RegistryApi& Registry() {
    return current ? *current : RealRegistry();
}

RegistryOverride::RegistryOverride(RegistryApi& replacement) noexcept
    : previous_(std::exchange(current, &replacement)) {}

RegistryOverride::~RegistryOverride() {
    current = previous_;
}

}  // namespace settings
