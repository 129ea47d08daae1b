#include "settings/settings_error.h"

namespace settings {

namespace {

// Fills the one "%s" of a message pattern.
SettingsError WithName(std::string_view pattern, std::string_view name) {
    std::string text(pattern);
    const auto at = text.find("%s");
    text.replace(at, 2, name);
    return SettingsError(text);
}

}  // namespace

SettingsError InvalidDataTypeError(std::string_view valueName) {
    return WithName("Invalid data type for '%s'", valueName);
}
SettingsError GetDataError(std::string_view valueName) {
    return WithName("Failed to get data for '%s'", valueName);
}
SettingsError CreateKeyError(std::string_view keyName) {
    return WithName("Failed to create key %s", keyName);
}
SettingsError SetDataError(std::string_view valueName) {
    return WithName("Failed to set data for '%s'", valueName);
}

}  // namespace settings
