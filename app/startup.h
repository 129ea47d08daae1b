// The whole run of the control panel: the command line, the single instance, start-up,
// the main loop and the end.
#pragma once

#include <string_view>

namespace app {

// Runs the program for this process command line and returns its exit code: 1 after an
// error ended start-up (it has been reported), otherwise 0.
[[nodiscard]] int RunControlPanel(std::string_view commandLine) noexcept;

}  // namespace app
