// The machine policy at start: DisableHypervisorAtStart takes the place of Settings bit 0.
#include "tests/app/startup_fixture.h"
#include "tests/settings/policy_key.h"

using namespace startuptest;
using namespace testsupport;
using namespace settingstest;

TEST_F(Startup, DisableHypervisorAtStartTakesThePlaceOfSettingsBit0) {
    struct Case {
        const char* name;
        DWORD type;  // 0: absent
        DWORD value;
        const char* settings;
        unsigned disables;
    };
    const Case cases[] = {
        {"policy 1 over bit 0 clear", REG_DWORD, 1, "0", 1},
        {"policy 0 over bit 0 set", REG_DWORD, 0, "1", 0},
        {"out of range: bit 0", REG_DWORD, 2, "1", 1},
        {"wrong type: bit 0", REG_BINARY, 1, "0", 0},
        {"absent: bit 0", 0, 0, "1", 1},
    };
    PutText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, "C:\\elsewhere\\panel.exe");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Policy policy;
        if (c.type != 0) {
            ASSERT_TRUE(Policy::Put(settings::kDisableHypervisorAtStartValue, c.type, &c.value,
                                    sizeof c.value));
        }
        PutText(HKEY_CURRENT_USER, kGeneral, "Settings", c.settings);
        ASSERT_TRUE(sim::ResetCounters());
        Program program;
        ASSERT_NE(StartRunning(program), nullptr);
        EXPECT_EQ(Counters().disables, c.disables);
        EXPECT_EQ(Stored("Settings"), TextValue(c.settings)) << "the user's value is kept";
        RequestQuit();
        EXPECT_EQ(program.ExitCode(), 0u);
    }
}
