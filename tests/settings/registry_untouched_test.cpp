// The store and the autostart code change nothing in the registry but their own values.
#include "settings/autostart.h"
#include "settings/settings_store.h"
#include "tests/settings/registry_fixture.h"

#include <gtest/gtest.h>

using namespace settingstest;

namespace {

class RegistryUntouched : public RegistryTest {};

// HKEY_CURRENT_USER whole and the Run key, as lines that can be compared.
FlatTree Observed() {
    FlatTree flat = Flatten(ReadTree(HKEY_CURRENT_USER, "").value(), "HKCU");
    flat.merge(Flatten(ReadTree(HKEY_LOCAL_MACHINE, kRunKey).value_or(KeyTree{}), "Run"));
    return flat;
}

// Drops the lines of what the program owns: HKCU\Korvalen and its own Run value.
FlatTree WithoutOwnData(FlatTree flat) {
    std::erase_if(flat, [](const auto& line) {
        const std::string& path = line.first;
        return path.starts_with("HKCU\\Korvalen\\") || path == std::string("Run\\\\") + kRunValue;
    });
    return flat;
}

}  // namespace

TEST_F(RegistryUntouched, OnlyTheProgramsOwnValuesChange) {
    PutText(HKEY_LOCAL_MACHINE, kRunKey, "Korvalen Test Neighbour", "C:\\n.exe");
    const FlatTree before = Observed();

    settings::LoadSettings();
    settings::Messages = 3;
    settings::SaveSettings();
    settings::SetSettings(-5);
    settings::LoadSettings();
    static_cast<void>(settings::IsAutostartEnabled());
    settings::SetAutostart(true);
    static_cast<void>(settings::IsAutostartEnabled());
    settings::SetAutostart(false);
    settings::SetAutostart(false);
    settings::SetAutostart(true);

    const FlatTree after = Observed();
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, "Korvalen Test Neighbour");

    EXPECT_EQ(Differences(WithoutOwnData(before), WithoutOwnData(after)),
              std::vector<std::string>{});
    // And the program's own data is what the sequence left.
    EXPECT_TRUE(after.contains("HKCU\\Korvalen\\General\\\\Settings"));
    EXPECT_TRUE(after.contains(std::string("Run\\\\") + kRunValue));
}
