// korvalenctl under the administrator's machine policy: AllowSwitching 0 turns enable and
// disable off for a process that is not elevated; a value absent, of another type or out of
// range changes nothing.
#include "tests/ctl/ctl_fixture.h"
#include "tests/settings/policy_key.h"

using namespace ctltest;
using settingstest::Policy;

namespace {

// The limited token linked to this process's elevated one: a program started with it runs
// as the same user, not elevated (Wine, like Windows, starts every program of an
// administrator elevated unless told otherwise; measured under Wine 8).
win32::UniqueHandle LimitedToken() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    const win32::UniqueHandle token(raw);
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenLinkedToken, &linked, sizeof linked, &size))
        return {};
    return win32::UniqueHandle(linked.LinkedToken);
}

struct StoredForm {
    const char* name;
    DWORD type;  // 0: absent
    std::string data;
    bool turnsOff;
};

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

TEST_F(Tool, AllowSwitchingZeroTurnsEnableAndDisableOffUnlessElevated) {
    const win32::UniqueHandle limited = LimitedToken();
    ASSERT_TRUE(limited);
    const StoredForm forms[] = {
        {"absent", 0, "", false},
        {"one", REG_DWORD, Dword(1), false},
        {"zero", REG_DWORD, Dword(0), true},
        {"out of range", REG_DWORD, Dword(2), false},
        {"text", REG_SZ, std::string("0", 2), false},
        {"qword", REG_QWORD, std::string(8, '\0'), false},
    };
    for (const StoredForm& form : forms) {
        for (const char* verb : {"enable", "disable"}) {
            SCOPED_TRACE(std::string(form.name) + " " + verb);
            const Policy policy;
            if (form.type != 0) {
                ASSERT_TRUE(Policy::Put(settings::kAllowSwitchingValue, form.type, form.data.data(),
                                        static_cast<DWORD>(form.data.size())));
            }
            ASSERT_TRUE(sim::ResetCounters());
            const ToolRun run = RunTool(verb, 30s, limited.get());
            const KorvalenSimCounters counters = Counters();
            if (form.turnsOff) {
                EXPECT_EQ(run.exitCode, 6u);
                EXPECT_EQ(run.err,
                          "Switching the hypervisor is turned off by your administrator\n");
                EXPECT_EQ(counters.enables + counters.disables, 0u) << "nothing sent";
            } else {
                EXPECT_EQ(run.exitCode, 0u);
                EXPECT_EQ(run.err, "");
                EXPECT_EQ(counters.enables + counters.disables, 1u);
            }
        }
    }
}

TEST_F(Tool, AnElevatedProcessSwitchesWhateverThePolicySays) {
    const Policy policy;
    ASSERT_TRUE(Policy::PutDword(settings::kAllowSwitchingValue, 0));
    ASSERT_TRUE(sim::ResetCounters());
    const ToolRun run = RunTool("disable");  // as this test runs: elevated
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Counters().disables, 1u);
    // Status is never turned off.
    EXPECT_EQ(RunTool("status", 30s, LimitedToken().get()).exitCode, 2u);
}
