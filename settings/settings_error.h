// The error that the settings store raises. It carries the text that the user is shown.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace settings {

class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The four failures, each with the value or key name filled in.
[[nodiscard]] SettingsError InvalidDataTypeError(std::string_view valueName);
[[nodiscard]] SettingsError GetDataError(std::string_view valueName);
[[nodiscard]] SettingsError CreateKeyError(std::string_view keyName);
[[nodiscard]] SettingsError SetDataError(std::string_view valueName);

}  // namespace settings
