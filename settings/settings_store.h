// The two per-user integers and their store, HKEY_CURRENT_USER\Korvalen\General, where
// each is kept as decimal text (REG_SZ).
#pragma once

#include <cstdint>

namespace settings {

// Bits 0 and 1: which status balloons have been shown. Other bits are carried through.
extern int32_t Messages;
// Bit 0: disable the hypervisor when the panel starts while autostart is registered.
// Other bits are carried through.
extern int32_t Settings;

// Reads Messages, then Settings. A missing value, a missing section and text that is not
// a 32-bit integer read as 0. Throws SettingsError for a value that is not text or cannot
// be read; a variable read before the failure keeps what was read.
void LoadSettings();

// Writes Messages, then Settings. Throws SettingsError when a key cannot be created or a
// value cannot be set; the variables keep their values.
void SaveSettings();

// Plain functions, so the panel can hold them in its callback slots.
[[nodiscard]] int32_t GetSettings();
void SetSettings(int32_t value);  // sets Settings, then saves

}  // namespace settings
