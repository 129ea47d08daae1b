// The settings store against the real registry of the test prefix.
#include "settings/settings_store.h"
#include "settings/settings_error.h"
#include "tests/settings/registry_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using namespace settingstest;
using settings::Messages;
using settings::Settings;

namespace {

class SettingsStore : public RegistryTest {};

// Runs f, which must raise a SettingsError, and returns its text.
template <typename F>
std::string ErrorText(F f) {
    try {
        f();
    } catch (const settings::SettingsError& e) {
        return e.what();
    }
    return "(no SettingsError)";
}

void StoreBoth(const std::string& messages, const std::string& settingsText) {
    PutText(HKEY_CURRENT_USER, kGeneral, "Messages", messages);
    PutText(HKEY_CURRENT_USER, kGeneral, "Settings", settingsText);
}

}  // namespace

TEST_F(SettingsStore, EveryKeyIsAskedForWithFullAccess) {
    FailingRegistry registry;
    settings::RegistryOverride use(registry);
    settings::LoadSettings();  // no keys yet: the store key is made, the section not found
    settings::SaveSettings();  // the section made
    settings::LoadSettings();  // and opened
    settings::SetSettings(1);
    ASSERT_GE(registry.keyRequests.size(), 5u);
    for (const auto& request : registry.keyRequests) {
        SCOPED_TRACE(request.subKey);
        EXPECT_EQ(request.access, static_cast<REGSAM>(KEY_ALL_ACCESS));
    }
}

TEST_F(SettingsStore, EveryValueRoundTripsAsDecimalText) {
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const struct {
        int32_t value;
        const char* text;
    } cases[] = {
        {0, "0"},      {1, "1"}, {3, "3"}, {-1, "-1"}, {kMin, "-2147483648"}, {kMax, "2147483647"},
        {0x106, "262"}};
    for (const auto& c : cases) {
        Messages = c.value;
        Settings = c.value ^ 0x55;  // differs from Messages, so a swap would show
        settings::SaveSettings();
        EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kGeneral, "Messages"), TextValue(c.text));
        EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kGeneral, "Settings"),
                  TextValue(std::to_string(c.value ^ 0x55)));
        Messages = Settings = 12345;
        settings::LoadSettings();
        EXPECT_EQ(Messages, c.value);
        EXPECT_EQ(Settings, c.value ^ 0x55);
    }
}

TEST_F(SettingsStore, SetSettingsSavesAndKeepsEveryBit) {
    Messages = 2;
    settings::SetSettings(0x7FFFFF00 | 1);
    EXPECT_EQ(settings::GetSettings(), 0x7FFFFF01);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kGeneral, "Settings"), TextValue("2147483393"));
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kGeneral, "Messages"), TextValue("2"));
    settings::SetSettings(settings::GetSettings() & ~1);  // what the panel's check box does
    Settings = 0;
    settings::LoadSettings();
    EXPECT_EQ(settings::GetSettings(), 0x7FFFFF00);
}

TEST_F(SettingsStore, FirstLoadLeavesOnlyAnEmptyKorvalenKey) {
    Messages = Settings = 7;
    settings::LoadSettings();
    EXPECT_EQ(Messages, 0);
    EXPECT_EQ(Settings, 0);
    EXPECT_EQ(ReadTree(HKEY_CURRENT_USER, "Korvalen"), KeyTree{})
        << "loading creates Korvalen but never General";
}

TEST_F(SettingsStore, FirstSaveCreatesGeneralWithMessagesWrittenFirst) {
    settings::LoadSettings();
    FailingRegistry recording;
    settings::RegistryOverride use(recording);
    settings::SaveSettings();
    EXPECT_EQ(recording.setNames, (std::vector<std::string>{"Messages", "Settings"}));
    KeyTree expected;
    expected.subkeys["General"].values = {{"Messages", TextValue("0")},
                                          {"Settings", TextValue("0")}};
    EXPECT_EQ(ReadTree(HKEY_CURRENT_USER, "Korvalen"), expected);
}

TEST_F(SettingsStore, MissingSectionOrValueReadsAsZero) {
    PutText(HKEY_CURRENT_USER, "Korvalen", "Messages", "5");  // not in the section: ignored
    Messages = Settings = 9;
    settings::LoadSettings();
    EXPECT_EQ(Messages, 0);
    EXPECT_EQ(Settings, 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kGeneral));

    PutText(HKEY_CURRENT_USER, kGeneral, "Settings", "4");
    settings::LoadSettings();
    EXPECT_EQ(Messages, 0);
    EXPECT_EQ(Settings, 4);
}

TEST_F(SettingsStore, TextThatIsNotAPlainIntegerReadsAsZero) {
    const std::string megabyte(1 << 20, '7');
    for (const std::string text :
         {"", "abc", "12abc", " 5", "+5", "2147483648", "-2147483649", "0x10", megabyte.c_str()}) {
        StoreBoth(text, "3");
        Messages = 9;
        settings::LoadSettings();
        EXPECT_EQ(Messages, 0) << '"' << text.substr(0, 20) << '"';
        EXPECT_EQ(Settings, 3);
    }
}

TEST_F(SettingsStore, TextEndsAtItsFirstNulOrWithItsData) {
    PutValue(HKEY_CURRENT_USER, kGeneral, "Messages", REG_SZ, "42", 2);  // no NUL stored
    PutValue(HKEY_CURRENT_USER, kGeneral, "Settings", REG_SZ,
             "12\0"
             "34",
             6);
    settings::LoadSettings();
    EXPECT_EQ(Messages, 42);
    EXPECT_EQ(Settings, 12);
}

TEST_F(SettingsStore, ExpandableTextIsUsedUnexpanded) {
    ASSERT_TRUE(SetEnvironmentVariableA("KORVALEN_TEST_NUMBER", "7"));
    PutText(HKEY_CURRENT_USER, kGeneral, "Messages", "%KORVALEN_TEST_NUMBER%", REG_EXPAND_SZ);
    PutText(HKEY_CURRENT_USER, kGeneral, "Settings", "-9", REG_EXPAND_SZ);
    Messages = 1;
    settings::LoadSettings();
    SetEnvironmentVariableA("KORVALEN_TEST_NUMBER", nullptr);
    EXPECT_EQ(Messages, 0);
    EXPECT_EQ(Settings, -9);
}

TEST_F(SettingsStore, ValueOfAnotherTypeRaisesInvalidDataTypeNamingIt) {
    const DWORD number = 5;
    const char multi[] = "5\0\0";
    const BYTE bytes[] = {'5', 0};
    const struct {
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {{REG_DWORD, &number, sizeof number},
                 {REG_BINARY, bytes, sizeof bytes},
                 {REG_MULTI_SZ, multi, sizeof multi}};
    for (const auto& c : cases) {
        PutValue(HKEY_CURRENT_USER, kGeneral, "Messages", c.type, c.data, c.size);
        PutText(HKEY_CURRENT_USER, kGeneral, "Settings", "1");
        EXPECT_EQ(ErrorText(settings::LoadSettings), "Invalid data type for 'Messages'")
            << "type " << c.type;

        PutText(HKEY_CURRENT_USER, kGeneral, "Messages", "6");
        PutValue(HKEY_CURRENT_USER, kGeneral, "Settings", c.type, c.data, c.size);
        Settings = 8;
        EXPECT_EQ(ErrorText(settings::LoadSettings), "Invalid data type for 'Settings'")
            << "type " << c.type;
        EXPECT_EQ(Messages, 6) << "a value read before the failure keeps what was read";
        EXPECT_EQ(Settings, 8);
    }
}

TEST_F(SettingsStore, EmptyValueOfAnyTypeReadsAsZeroWithoutError) {
    for (const DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY, REG_MULTI_SZ}) {
        PutValue(HKEY_CURRENT_USER, kGeneral, "Messages", type, nullptr, 0);
        PutValue(HKEY_CURRENT_USER, kGeneral, "Settings", type, nullptr, 0);
        Messages = Settings = 3;
        EXPECT_NO_THROW(settings::LoadSettings()) << "type " << type;
        EXPECT_EQ(Messages, 0);
        EXPECT_EQ(Settings, 0);
    }
}

// Wine grants every access, so refusals are made through the registry seam.

TEST_F(SettingsStore, WithoutTheKorvalenKeyLoadReadsZeroAndSaveRaises) {
    StoreBoth("5", "6");
    PutText(HKEY_CURRENT_USER, "General", "Messages", "5");  // a section below the root
    PutText(HKEY_CURRENT_USER, "General", "Settings", "6");
    FailingRegistry registry;
    registry.failCreate = [](HKEY, std::string_view key, REGSAM) { return key == "Korvalen"; };
    settings::RegistryOverride use(registry);

    Messages = Settings = 1;
    settings::LoadSettings();
    EXPECT_EQ(Messages, 0);
    EXPECT_EQ(Settings, 0);

    Messages = 10;
    Settings = 11;
    EXPECT_EQ(ErrorText(settings::SaveSettings), "Failed to create key Korvalen");
    EXPECT_EQ(Messages, 10);
    EXPECT_EQ(Settings, 11);
    EXPECT_TRUE(registry.setNames.empty()) << "nothing is written anywhere else";
}

TEST_F(SettingsStore, SectionThatCannotBeCreatedRaises) {
    FailingRegistry registry;
    registry.failCreate = [](HKEY, std::string_view key, REGSAM) { return key == "General"; };
    settings::RegistryOverride use(registry);
    Settings = 5;
    EXPECT_EQ(ErrorText([] { settings::SetSettings(4); }), "Failed to create key General");
    EXPECT_EQ(Settings, 4);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kGeneral));
}

TEST_F(SettingsStore, FailingWriteRaisesNamingTheValueAndKeepsTheVariables) {
    FailingRegistry registry;
    registry.failSet = [](std::string_view name) { return name == "Settings"; };
    settings::RegistryOverride use(registry);
    Messages = 2;
    EXPECT_EQ(ErrorText([] { settings::SetSettings(-7); }), "Failed to set data for 'Settings'");
    EXPECT_EQ(Messages, 2);
    EXPECT_EQ(settings::GetSettings(), -7);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kGeneral, "Messages"), TextValue("2"));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kGeneral, "Settings"));
}

TEST_F(SettingsStore, SectionThatCannotBeOpenedForWritingRaisesNamingTheValue) {
    PutText(HKEY_CURRENT_USER, kGeneral, "Messages", "1");
    FailingRegistry registry;
    registry.failOpen = [](HKEY, std::string_view key, REGSAM) { return key == "General"; };
    settings::RegistryOverride use(registry);
    Messages = 3;
    EXPECT_EQ(ErrorText([] { settings::SetSettings(8); }), "Failed to set data for 'Messages'");
    EXPECT_EQ(Settings, 8);
    EXPECT_TRUE(registry.setNames.empty());
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kGeneral, "Messages"), TextValue("1"));
}

TEST_F(SettingsStore, FailingReadRaisesNamingTheValue) {
    StoreBoth("1", "2");
    FailingRegistry registry;
    registry.failQuery = [](std::string_view name, bool readsData) {
        return readsData && name == "Settings";
    };
    settings::RegistryOverride use(registry);
    Settings = 9;
    EXPECT_EQ(ErrorText(settings::LoadSettings), "Failed to get data for 'Settings'");
    EXPECT_EQ(Messages, 1);
    EXPECT_EQ(Settings, 9);
}
