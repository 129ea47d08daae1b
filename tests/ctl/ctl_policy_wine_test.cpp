// korvalenctl under the administrator's machine policy: AllowSwitching 0 turns enable and
// disable off for a process that is not elevated; a value absent, of another type or out of
// range changes nothing.
#include "tests/ctl/ctl_fixture.h"
#include "tests/settings/policy_key.h"

#include <utility>

using namespace ctltest;
using settingstest::Policy;

namespace {

bool IsElevated(HANDLE token) {
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

// One token of each kind for the same user: this process's own and the one linked to it.
// Which of the two is elevated depends on how programs start: Wine 8 starts every program
// of an administrator elevated, Wine 10 with the limited token, as Windows does under UAC
// (both measured), so each is told by its elevation.
struct Tokens {
    win32::UniqueHandle elevated;
    win32::UniqueHandle limited;
};

Tokens BothTokens() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY,
                          &raw))
        return {};
    const win32::UniqueHandle own(raw);
    HANDLE primary = nullptr;
    if (!DuplicateTokenEx(own.get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                          &primary))
        return {};
    win32::UniqueHandle mine(primary);
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size)) return {};
    win32::UniqueHandle other(linked.LinkedToken);
    if (IsElevated(mine.get()) == IsElevated(other.get())) return {};
    if (IsElevated(mine.get())) return {std::move(mine), std::move(other)};
    return {std::move(other), std::move(mine)};
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
    const Tokens tokens = BothTokens();
    ASSERT_TRUE(tokens.limited) << "no limited token of this user";
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
            const ToolRun run = RunTool(verb, 30s, tokens.limited.get());
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
    const Tokens tokens = BothTokens();
    ASSERT_TRUE(tokens.elevated && tokens.limited) << "no token of each kind";
    const Policy policy;
    ASSERT_TRUE(Policy::PutDword(settings::kAllowSwitchingValue, 0));
    ASSERT_TRUE(sim::ResetCounters());
    const ToolRun run = RunTool("disable", 30s, tokens.elevated.get());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Counters().disables, 1u);
    // Status is never turned off.
    EXPECT_EQ(RunTool("status", 30s, tokens.limited.get()).exitCode, 2u);
}
