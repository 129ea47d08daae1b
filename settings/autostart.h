// The logon-start value "Korvalen Control Panel" under the machine's Run key,
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run. Every error is caught
// inside and reported only as the Boolean result; no other value under the key is touched.
#pragma once

#include <string>

namespace settings {

inline constexpr char kAutostartValueName[] = "Korvalen Control Panel";

// True when the value reads as non-empty text. Where full access to the Run key is
// refused, the key is read with read access only, so a user without the right to write
// below HKEY_LOCAL_MACHINE still learns what is registered.
[[nodiscard]] bool RunValueExists(const std::string& name) noexcept;

// Stores data as REG_SZ; true when stored. Needs full access to the Run key.
[[nodiscard]] bool WriteRunValue(const std::string& name, const std::string& data) noexcept;

// Removes the value; true whenever the Run key could be opened with full access, also
// when there was no such value.
[[nodiscard]] bool DeleteRunValue(const std::string& name) noexcept;

// Plain functions, so the panel can hold them in its callback slots.
[[nodiscard]] bool IsAutostartEnabled() noexcept;
// On: registers the program's own path (quoted when it has a blank). Off: removes it.
void SetAutostart(bool enable) noexcept;

}  // namespace settings
