#include "settings/settings_store.h"

#include "settings/decimal_text.h"
#include "settings/registry_api.h"
#include "settings/settings_error.h"
#include "settings/stored_text.h"
#include "win32/unique_win.h"

#include <windows.h>

namespace settings {

int32_t Messages = 0;
int32_t Settings = 0;

namespace {

constexpr char kStoreKey[] = "Korvalen";  // directly below HKEY_CURRENT_USER
constexpr char kSection[] = "General";
constexpr char kMessagesValue[] = "Messages";
constexpr char kSettingsValue[] = "Settings";

// The Korvalen key, created when absent; an invalid owner when that fails.
win32::UniqueKey OpenStore() {
    win32::UniqueKey key;
    if (Registry().CreateKey(HKEY_CURRENT_USER, kStoreKey, KEY_ALL_ACCESS, key) != ERROR_SUCCESS)
        return {};
    return key;
}

int32_t ReadValue(HKEY store, const char* name) {
    win32::UniqueKey section;
    // Reading never creates the section: without it every value is 0.
    if (Registry().OpenKey(store, kSection, KEY_ALL_ACCESS, section) != ERROR_SUCCESS) return 0;
    StoredText stored = ReadStoredText(section.get(), name);
    switch (stored.kind) {
        case StoredText::Kind::Missing: return 0;
        case StoredText::Kind::WrongType: throw InvalidDataTypeError(name);
        case StoredText::Kind::ReadFailed: throw GetDataError(name);
        case StoredText::Kind::Text: break;
    }
    return ParseDecimalText(stored.text);
}

void WriteValue(HKEY store, const char* name, int32_t value) {
    {
        win32::UniqueKey created;  // only makes sure that it exists
        if (Registry().CreateKey(store, kSection, KEY_ALL_ACCESS, created) != ERROR_SUCCESS)
            throw CreateKeyError(kSection);
    }

    // A section that cannot be opened for writing keeps the old value: that is a failed
    // write, reported like one, never a silent success.
    win32::UniqueKey section;
    if (Registry().OpenKey(store, kSection, KEY_ALL_ACCESS, section) != ERROR_SUCCESS)
        throw SetDataError(name);
    const std::string text = FormatDecimalText(value);
    const auto* data = reinterpret_cast<const BYTE*>(text.c_str());
    const auto size = static_cast<DWORD>(text.size() + 1);  // the NUL is counted
    if (Registry().SetValue(section.get(), name, REG_SZ, data, size) != ERROR_SUCCESS)
        throw SetDataError(name);
}

}  // namespace

void LoadSettings() {
    const win32::UniqueKey store = OpenStore();
    if (!store) {
        // Without the Korvalen key nothing is looked up anywhere else: both read as 0.
        Messages = 0;
        Settings = 0;
        return;
    }
    Messages = ReadValue(store.get(), kMessagesValue);
    Settings = ReadValue(store.get(), kSettingsValue);
}

void SaveSettings() {
    const win32::UniqueKey store = OpenStore();
    // Never write the section anywhere but below Korvalen: the settings cannot be kept.
    if (!store) throw CreateKeyError(kStoreKey);
    WriteValue(store.get(), kMessagesValue, Messages);
    WriteValue(store.get(), kSettingsValue, Settings);
}

int32_t GetSettings() {
    return Settings;
}

void SetSettings(int32_t value) {
    Settings = value;
    SaveSettings();
}

}  // namespace settings
