// The command line: splitting into arguments and the quit switch. No Win32 here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// Splits a process command line the usual way: arguments are separated by runs of
// characters 1 to 32, a double-quoted stretch belongs to one argument and its quotes are
// dropped. Element 0 is the program path.
[[nodiscard]] std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// True when the command line holds exactly one argument besides the program path and that
// argument, trimmed of characters 0 to 32 and with a to z upper-cased, is "-Q".
[[nodiscard]] bool IsQuitRequest(std::string_view commandLine);

}  // namespace app
