// The text stored as the logon-start value.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// The program's path as the Run value holds it. A path with a blank is put in double
// quotes: stored bare, "C:\Program Files\...\x.exe" would let Windows start
// "C:\Program.exe" at logon. A path without blanks is stored as it is.
[[nodiscard]] std::string RunValueText(std::string_view programPath);

}  // namespace settings
