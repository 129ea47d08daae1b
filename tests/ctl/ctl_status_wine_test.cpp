// korvalenctl status, enable and disable against the driver stand-in: texts, JSON and exit
// codes as a script sees them.
#include "tests/ctl/ctl_fixture.h"

using namespace ctltest;

namespace {

struct StatusCase {
    const char* name;
    std::vector<std::string> set;
    std::vector<std::string> faults;
    DWORD exitCode;
    std::string text;
};

}  // namespace

TEST_F(Tool, StatusPrintsThePanelsTextsWithTheStatesExitCode) {
    const StatusCase cases[] = {
        {"enabled", {}, {}, 0, "Hypervisor enabled\nHypervisor works properly\n"},
        {"partly",
         {"--status", "0x1,0x20000000"},
         {},
         1,
         "Hypervisor enabled partly\nNot every processor supports Virtualization Technoligy\n"},
        {"not enabled",
         {"--status", "0,0"},
         {},
         2,
         "Hypervisor not enabled\nHypervisor disabled manually\n"},
        {"not supported",
         {"--status", "0x10000000"},
         {},
         2,
         "Hypervisor not enabled\nYour processor is not supported\n"},
        {"no vt",
         {"--status", "0x20000000"},
         {},
         2,
         "Hypervisor not enabled\nYour processor does not support Virtualization Technoligy\n"},
        {"vt not allowed",
         {"--status", "0x30000000"},
         {},
         2,
         "Hypervisor not enabled\nVirtualization Technoligy is not allowed in BIOS\n"},
        {"allocation",
         {"--status", "0x40000000"},
         {},
         2,
         "Hypervisor not enabled\nError while allocating resources\n"},
        {"driver errors",
         {"--status", "0x50000000,0x40000000"},
         {},
         2,
         "Hypervisor not enabled\nError while allocating resources\n"
         "Korvalen driver works with errors\n"},
        {"absent", {}, {"absent"}, 3, "General error\nFailed connect to Korvalen driver\n"},
        {"read failure",
         {},
         {"second-read"},
         4,
         "General error\nError while communicating to Korvalen driver\n"},
        {"count fault",
         {},
         {"count-minus-one"},
         4,
         "General error\nKorvalen driver works with errors\n"},
        {"second count",
         {},
         {"second-count-larger"},
         4,
         "General error\nKorvalen driver works with errors\n"},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.name);
        Use(With(c.set, c.faults));
        const ToolRun run = RunTool("status");
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.text);
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(Tool, StatusJsonIsOneObjectWithCountsFlagsAndTexts) {
    Use(With({"--status", "0x1,0x1,0x20000000"}));
    ToolRun run = RunTool("status --json");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.out,
              "{\"state\":\"enabled-partly\",\"exitCode\":1,"
              "\"processors\":{\"total\":3,\"enabled\":2},\"problemFlags\":2,"
              "\"problems\":[\"no-virtualization-technology\"],"
              "\"driverResult\":{\"code\":0,\"name\":\"read\"},"
              "\"caption\":\"Hypervisor enabled partly\","
              "\"description\":[\"Not every processor supports Virtualization Technoligy\"]}\n");

    Use(With({}, {"absent"}));
    run = RunTool("status --json");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_EQ(run.out,
              "{\"state\":\"unknown\",\"exitCode\":3,\"processors\":null,\"problemFlags\":0,"
              "\"problems\":[],\"driverResult\":{\"code\":254,\"name\":\"not-reachable\"},"
              "\"caption\":\"General error\","
              "\"description\":[\"Failed connect to Korvalen driver\"]}\n");
}

TEST_F(Tool, EnableAndDisableSendThePanelsCommands) {
    struct Case {
        const char* verb;
        std::vector<std::string> set;
        std::vector<std::string> faults;
        DWORD exitCode;
        std::string err;
        unsigned enables, disables;
    };
    const Case cases[] = {
        {"enable", {}, {}, 0, "", 1, 0},
        {"disable", {}, {}, 0, "", 0, 1},
        {"enable",
         {"--enable-answer", "1"},
         {},
         1,
         "Hypervisor can not be enabled. Shutdown all Virtual Machines.\n",
         1,
         0},
        {"enable", {"--enable-answer", "255"}, {}, 4, "Korvalen driver works with errors\n", 1, 0},
        {"disable",
         {"--disable-answer", "255"},
         {},
         4,
         "Korvalen driver works with errors\n",
         0,
         1},
        {"enable", {}, {"control"}, 4, "Error while communicating to Korvalen driver\n", 0, 0},
        {"enable", {}, {"absent"}, 3, "Failed connect to Korvalen driver\n", 0, 0},
        {"disable", {}, {"absent"}, 3, "Failed connect to Korvalen driver\n", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.verb) + " " + std::to_string(c.exitCode));
        Use(With(c.set, c.faults));
        const ToolRun run = RunTool(c.verb);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.err);
        const KorvalenSimCounters counters = Counters();
        if (c.faults.empty() || c.faults[0] != "control") {
            EXPECT_EQ(counters.enables, c.enables);
            EXPECT_EQ(counters.disables, c.disables);
        }
    }
}

TEST_F(Tool, HelpVersionAndUsage) {
    ToolRun run = RunTool("--help");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.out.find("3 driver not reachable"), std::string::npos) << run.out;
    run = RunTool("--version");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out, KORVALEN_VERSION "\n");
    for (const char* bad : {"", "stat", "status --xml", "-Q"}) {
        SCOPED_TRACE(bad);
        run = RunTool(bad);
        EXPECT_EQ(run.exitCode, 64u);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("usage: korvalenctl", 0), 0u) << run.err;
    }
}

TEST_F(Tool, OpensNoWindowAndTakesNoInstanceMutex) {
    // A panel's instance mutex left alone: the tool neither makes nor needs it.
    const ToolRun run = RunTool("status");
    EXPECT_EQ(run.exitCode, 0u);
    win32::UniqueHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, "KorvalenInstanceMutex"));
    EXPECT_FALSE(mutex);
}
