#include "settings/autostart.h"

#include "settings/program_path.h"
#include "settings/registry_api.h"
#include "settings/run_value_text.h"
#include "settings/stored_text.h"
#include "win32/unique_win.h"

#include <windows.h>

namespace settings {

namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Full access, creating the key when it is absent.
win32::UniqueKey OpenRunKeyToWrite() {
    win32::UniqueKey key;
    if (Registry().CreateKey(HKEY_LOCAL_MACHINE, kRunKey, KEY_ALL_ACCESS, key) != ERROR_SUCCESS)
        return {};
    return key;
}

win32::UniqueKey OpenRunKeyToRead() {
    win32::UniqueKey key = OpenRunKeyToWrite();
    if (key) return key;
    if (Registry().OpenKey(HKEY_LOCAL_MACHINE, kRunKey, KEY_READ, key) != ERROR_SUCCESS) return {};
    return key;
}

}  // namespace

bool RunValueExists(const std::string& name) noexcept {
    try {
        const win32::UniqueKey key = OpenRunKeyToRead();
        if (!key) return false;
        const StoredText stored = ReadStoredText(key.get(), name.c_str());
        return stored.kind == StoredText::Kind::Text && !stored.text.empty();
    } catch (...) {
        // The value's text could not be held (no memory): what cannot be read is reported
        // as no registration, and the box then offers to register again.
        return false;
    }
}

bool WriteRunValue(const std::string& name, const std::string& data) noexcept {
    const win32::UniqueKey key = OpenRunKeyToWrite();
    if (!key) return false;
    const auto* bytes = reinterpret_cast<const BYTE*>(data.c_str());
    const auto size = static_cast<DWORD>(data.size() + 1);  // the NUL is counted
    return Registry().SetValue(key.get(), name.c_str(), REG_SZ, bytes, size) == ERROR_SUCCESS;
}

bool DeleteRunValue(const std::string& name) noexcept {
    const win32::UniqueKey key = OpenRunKeyToWrite();
    if (!key) return false;
    // Whether there was such a value does not matter: afterwards there is none.
    Registry().DeleteValue(key.get(), name.c_str());
    return true;
}

bool IsAutostartEnabled() noexcept {
    try {
        return RunValueExists(kAutostartValueName);
    } catch (...) {
        return false;  // the name could not be made into a string
    }
}

void SetAutostart(bool enable) noexcept {
    try {
        if (!enable) {
            static_cast<void>(DeleteRunValue(kAutostartValueName));
            return;
        }
        const std::optional<std::string> path = ProgramPath();
        if (!path) return;  // never register an empty or cut-short path
        static_cast<void>(WriteRunValue(kAutostartValueName, RunValueText(*path)));
    } catch (...) {
        // Building the texts can only fail for want of memory; the switch then does nothing.
    }
}

}  // namespace settings
