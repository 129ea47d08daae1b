// Every Wine registry test runs in the one prefix of the run: it starts with no Korvalen
// data and leaves the keys it touches as it found them, whatever order tests run in.
#pragma once

#include "settings/registry_api.h"
#include "tests/settings/registry_snapshot.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settingstest {

inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValue[] = "Korvalen Control Panel";
inline constexpr char kGeneral[] = "Korvalen\\General";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    // Keys below HKEY_CURRENT_USER that the store could touch: its own, and a section
    // directly below the root where a careless store would fall back to.
    std::optional<KeyTree> korvalen_, rootGeneral_;
    std::optional<StoredValue> runValue_;
};

// The real registry, except for the calls that a test tells to fail.
class FailingRegistry : public settings::RegistryApi {
public:
    // Each predicate sees the key or value name (and for opens the access asked for).
    std::function<bool(HKEY parent, std::string_view subKey, REGSAM access)> failCreate;
    std::function<bool(HKEY parent, std::string_view subKey, REGSAM access)> failOpen;
    std::function<bool(std::string_view name, bool readsData)> failQuery;
    std::function<bool(std::string_view name)> failSet;
    std::function<bool(std::string_view name)> failDelete;

    std::vector<std::string> setNames;  // every value name that was set, in order
    // Every key asked for, in order, with the access asked for (refused ones too).
    struct KeyRequest {
        HKEY parent;
        std::string subKey;
        REGSAM access;
        bool create;
    };
    std::vector<KeyRequest> keyRequests;

    LSTATUS CreateKey(HKEY parent, const char* subKey, REGSAM access,
                      win32::UniqueKey& key) override;
    LSTATUS OpenKey(HKEY parent, const char* subKey, REGSAM access, win32::UniqueKey& key) override;
    LSTATUS QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) override;
    LSTATUS SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LSTATUS DeleteValue(HKEY key, const char* name) override;
};

// A user without the right to write below HKEY_LOCAL_MACHINE.
class StandardUserRegistry : public FailingRegistry {
public:
    StandardUserRegistry();
};

}  // namespace settingstest
