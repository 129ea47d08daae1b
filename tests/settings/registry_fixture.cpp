#include "tests/settings/registry_fixture.h"

#include "settings/settings_store.h"

namespace settingstest {

void RegistryTest::SetUp() {
    korvalen_ = ReadTree(HKEY_CURRENT_USER, "Korvalen");
    rootGeneral_ = ReadTree(HKEY_CURRENT_USER, "General");
    runValue_ = GetValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    DeleteTree(HKEY_CURRENT_USER, "Korvalen");
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    settings::Messages = 0;
    settings::Settings = 0;
}

void RegistryTest::TearDown() {
    DeleteTree(HKEY_CURRENT_USER, "Korvalen");
    if (korvalen_) WriteTree(HKEY_CURRENT_USER, "Korvalen", *korvalen_);
    DeleteTree(HKEY_CURRENT_USER, "General");
    if (rootGeneral_) WriteTree(HKEY_CURRENT_USER, "General", *rootGeneral_);
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    if (runValue_)
        PutValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, runValue_->type, runValue_->data.data(),
                 static_cast<DWORD>(runValue_->data.size()));
}

LSTATUS FailingRegistry::CreateKey(HKEY parent, const char* subKey, REGSAM access,
                                   win32::UniqueKey& key) {
    keyRequests.push_back({parent, subKey, access, true});
    if (failCreate && failCreate(parent, subKey, access)) return ERROR_ACCESS_DENIED;
    return RegistryApi::CreateKey(parent, subKey, access, key);
}

LSTATUS FailingRegistry::OpenKey(HKEY parent, const char* subKey, REGSAM access,
                                 win32::UniqueKey& key) {
    keyRequests.push_back({parent, subKey, access, false});
    if (failOpen && failOpen(parent, subKey, access)) return ERROR_ACCESS_DENIED;
    return RegistryApi::OpenKey(parent, subKey, access, key);
}

LSTATUS FailingRegistry::QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data,
                                    DWORD* size) {
    if (failQuery && failQuery(name, data != nullptr)) return ERROR_ACCESS_DENIED;
    return RegistryApi::QueryValue(key, name, type, data, size);
}

LSTATUS FailingRegistry::SetValue(HKEY key, const char* name, DWORD type, const BYTE* data,
                                  DWORD size) {
    if (failSet && failSet(name)) return ERROR_ACCESS_DENIED;
    setNames.emplace_back(name);
    return RegistryApi::SetValue(key, name, type, data, size);
}

LSTATUS FailingRegistry::DeleteValue(HKEY key, const char* name) {
    if (failDelete && failDelete(name)) return ERROR_ACCESS_DENIED;
    return RegistryApi::DeleteValue(key, name);
}

StandardUserRegistry::StandardUserRegistry() {
    constexpr REGSAM kReadOnly = KEY_READ | KEY_WOW64_32KEY | KEY_WOW64_64KEY;
    failCreate = [](HKEY parent, std::string_view, REGSAM) { return parent == HKEY_LOCAL_MACHINE; };
    failOpen = [](HKEY parent, std::string_view, REGSAM access) {
        return parent == HKEY_LOCAL_MACHINE && (access & ~kReadOnly) != 0;
    };
}

}  // namespace settingstest
