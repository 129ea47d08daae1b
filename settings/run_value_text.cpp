#include "settings/run_value_text.h"

namespace settings {

std::string RunValueText(std::string_view programPath) {
    if (programPath.find_first_of(" \t") == std::string_view::npos) return std::string(programPath);
    std::string quoted;
    quoted.reserve(programPath.size() + 2);
    quoted += '"';
    quoted += programPath;
    quoted += '"';
    return quoted;
}

}  // namespace settings
