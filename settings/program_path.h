// The full path of the program's own executable file.
#pragma once

#include <optional>
#include <string>

namespace settings {

// Fetched whole however long it is, never cut short; nothing when it cannot be fetched.
[[nodiscard]] std::optional<std::string> ProgramPath();

}  // namespace settings
