// The logon-start value against the real Run key of the test prefix.
#include "settings/autostart.h"
#include "settings/run_value_text.h"
#include "tests/settings/registry_fixture.h"
#include "tests/support/wine_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace settingstest;

namespace {

class Autostart : public RegistryTest {};

std::string OwnPath() {
    std::string path(4096, '\0');
    path.resize(GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

void Register(const std::string& text) {
    PutText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, text);
}

std::optional<StoredValue> Registered() {
    return GetValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
}

}  // namespace

TEST_F(Autostart, OnlyNonEmptyTextCountsAsRegistered) {
    EXPECT_FALSE(settings::IsAutostartEnabled()) << "absent";
    Register("");
    EXPECT_FALSE(settings::IsAutostartEnabled()) << "empty text";
    Register("C:\\Other\\program.exe");
    EXPECT_TRUE(settings::IsAutostartEnabled()) << "another program's path";
    PutText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, "%SystemRoot%\\k.exe", REG_EXPAND_SZ);
    EXPECT_TRUE(settings::IsAutostartEnabled()) << "expandable text";

    const DWORD number = 1;
    const BYTE bytes[] = {'C', ':', 0};
    const char multi[] = "C:\\k.exe\0";
    PutValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, REG_DWORD, &number, sizeof number);
    EXPECT_FALSE(settings::IsAutostartEnabled()) << "a number";
    PutValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, REG_BINARY, bytes, sizeof bytes);
    EXPECT_FALSE(settings::IsAutostartEnabled()) << "raw bytes";
    PutValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, REG_MULTI_SZ, multi, sizeof multi);
    EXPECT_FALSE(settings::IsAutostartEnabled()) << "a text list";
}

TEST_F(Autostart, RunValueExistsAsksForTheNameItIsGiven) {
    PutText(HKEY_LOCAL_MACHINE, kRunKey, "Korvalen Test Neighbour", "C:\\n.exe");
    EXPECT_TRUE(settings::RunValueExists("Korvalen Test Neighbour"));
    EXPECT_FALSE(settings::RunValueExists(kRunValue));
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, "Korvalen Test Neighbour");
}

TEST_F(Autostart, SwitchingOnStoresTheProgramsOwnPath) {
    Register("C:\\Other\\program.exe");
    settings::SetAutostart(true);  // overwrites what is there
    const std::string path = OwnPath();
    ASSERT_EQ(path.find(' '), std::string::npos) << "this check wants a build path without blanks";
    EXPECT_EQ(Registered(), TextValue(path));
    EXPECT_TRUE(settings::IsAutostartEnabled());
}

TEST_F(Autostart, SwitchingOffRemovesTheValueAndSucceedsWhenAbsent) {
    Register("C:\\k.exe");
    settings::SetAutostart(false);
    EXPECT_FALSE(Registered());
    EXPECT_TRUE(settings::DeleteRunValue(kRunValue)) << "removing what is absent is no error";
    EXPECT_FALSE(settings::IsAutostartEnabled());
}

TEST_F(Autostart, WriteRunValueStoresTextWithItsNul) {
    EXPECT_TRUE(settings::WriteRunValue(kRunValue, "\"C:\\A B\\k.exe\""));
    EXPECT_EQ(Registered(), TextValue("\"C:\\A B\\k.exe\""));
}

TEST_F(Autostart, AbsentRunKeyIsCreatedByTheFirstQuery) {
    const std::optional<KeyTree> found = ReadTree(HKEY_LOCAL_MACHINE, kRunKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kRunKey);
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRunKey));
    const bool registered = settings::IsAutostartEnabled();
    const std::optional<KeyTree> created = ReadTree(HKEY_LOCAL_MACHINE, kRunKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kRunKey);
    if (found) WriteTree(HKEY_LOCAL_MACHINE, kRunKey, *found);

    EXPECT_FALSE(registered);
    EXPECT_EQ(created, KeyTree{}) << "an empty Run key";
}

// Wine grants every access, so refusals are made through the registry seam.

TEST_F(Autostart, UserWithoutWriteRightsStillSeesWhatIsRegistered) {
    Register("C:\\k.exe");
    StandardUserRegistry standardUser;
    settings::RegistryOverride use(standardUser);
    EXPECT_TRUE(settings::IsAutostartEnabled());

    EXPECT_FALSE(settings::WriteRunValue(kRunValue, "C:\\other.exe"));
    EXPECT_FALSE(settings::DeleteRunValue(kRunValue));
    settings::SetAutostart(false);
    EXPECT_EQ(Registered(), TextValue("C:\\k.exe")) << "writing still needs full access";
    EXPECT_TRUE(standardUser.setNames.empty());

    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    EXPECT_FALSE(settings::IsAutostartEnabled());
    settings::SetAutostart(true);
    EXPECT_FALSE(Registered());
}

TEST_F(Autostart, TheRunKeyIsAskedForWithFullAccessAndReadOnlyOnlyAsTheFallback) {
    {
        FailingRegistry registry;
        settings::RegistryOverride use(registry);
        (void)settings::IsAutostartEnabled();
        settings::SetAutostart(true);
        settings::SetAutostart(false);
        ASSERT_GE(registry.keyRequests.size(), 3u);
        for (const auto& request : registry.keyRequests) {
            EXPECT_EQ(request.parent, HKEY_LOCAL_MACHINE);
            EXPECT_EQ(request.subKey, kRunKey);
            EXPECT_EQ(request.access, static_cast<REGSAM>(KEY_ALL_ACCESS));
        }
    }
    // A user who may not write there: reading falls back to a read-only open, and only
    // after full access was refused; writing never does.
    Register("C:\\k.exe");
    StandardUserRegistry standardUser;
    settings::RegistryOverride use(standardUser);
    EXPECT_TRUE(settings::IsAutostartEnabled());
    const auto& reading = standardUser.keyRequests;
    ASSERT_EQ(reading.size(), 2u);
    EXPECT_TRUE(reading[0].create);
    EXPECT_EQ(reading[0].access, static_cast<REGSAM>(KEY_ALL_ACCESS));
    EXPECT_FALSE(reading[1].create);
    EXPECT_EQ(reading[1].access, static_cast<REGSAM>(KEY_READ));
    standardUser.keyRequests.clear();
    settings::SetAutostart(false);
    ASSERT_FALSE(standardUser.keyRequests.empty());
    for (const auto& request : standardUser.keyRequests)
        EXPECT_EQ(request.access, static_cast<REGSAM>(KEY_ALL_ACCESS)) << "writing";
}

TEST_F(Autostart, RunKeyThatCannotBeOpenedAtAllReadsAsNotRegistered) {
    Register("C:\\k.exe");
    FailingRegistry registry;
    registry.failCreate = [](HKEY, std::string_view, REGSAM) { return true; };
    registry.failOpen = [](HKEY, std::string_view, REGSAM) { return true; };
    settings::RegistryOverride use(registry);
    EXPECT_FALSE(settings::IsAutostartEnabled());
}

TEST_F(Autostart, FailingReadOrWriteIsReportedOnlyAsFalse) {
    Register("C:\\k.exe");
    FailingRegistry registry;
    registry.failQuery = [](std::string_view, bool readsData) { return readsData; };
    registry.failSet = [](std::string_view) { return true; };
    registry.failDelete = [](std::string_view) { return true; };
    settings::RegistryOverride use(registry);
    EXPECT_FALSE(settings::IsAutostartEnabled());
    EXPECT_FALSE(settings::WriteRunValue(kRunValue, "C:\\x.exe"));
    EXPECT_NO_THROW(settings::SetAutostart(true));
    EXPECT_TRUE(settings::DeleteRunValue(kRunValue)) << "the removal's outcome is not looked at";
    EXPECT_EQ(Registered(), TextValue("C:\\k.exe"));
}
