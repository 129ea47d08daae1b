// The console tool's arguments, exit codes, texts and JSON, natively.
#include "ctl/ctl_logic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace ctl;

namespace {

Arguments Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "korvalenctl");
    return ParseArguments(args);
}

status::StatusReading Reading(driver::DriverResult result, driver::HypervisorState state = 0,
                              driver::ProblemFlags flags = 0) {
    return {result, state, flags};
}

}  // namespace

TEST(CtlArguments, EachVerbAloneAndStatusWithJson) {
    EXPECT_EQ(Parse({"status"}).verb, Verb::Status);
    EXPECT_FALSE(Parse({"status"}).json);
    EXPECT_EQ(Parse({"status", "--json"}).verb, Verb::Status);
    EXPECT_TRUE(Parse({"status", "--json"}).json);
    EXPECT_EQ(Parse({"enable"}).verb, Verb::Enable);
    EXPECT_EQ(Parse({"disable"}).verb, Verb::Disable);
    EXPECT_EQ(Parse({"quit-panel"}).verb, Verb::QuitPanel);
    EXPECT_EQ(Parse({"--help"}).verb, Verb::Help);
    EXPECT_EQ(Parse({"--version"}).verb, Verb::Version);
}

TEST(CtlArguments, AnythingElseIsInvalid) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {""},
                                               {"STATUS"},
                                               {"status", "--JSON"},
                                               {"--json", "status"},
                                               {"enable", "--json"},
                                               {"status", "--json", "--json"},
                                               {"quit"},
                                               {"-Q"},
                                               {"--version", "x"}}) {
        EXPECT_EQ(Parse(args).verb, Verb::Invalid) << ::testing::PrintToString(args);
    }
}

TEST(CtlExitCodes, StatusFollowsTheStateAndTheDriverResult) {
    EXPECT_EQ(StatusExitCode(Reading(driver::kStatusRead, driver::kEnabledEverywhere)), 0);
    EXPECT_EQ(StatusExitCode(Reading(driver::kStatusRead, driver::kEnabledPartly, 0x02)), 1);
    EXPECT_EQ(StatusExitCode(Reading(driver::kStatusRead, driver::kEnabledNowhere)), 2);
    EXPECT_EQ(StatusExitCode(Reading(driver::kStatusRead, 7)), 2) << "read as not enabled";
    EXPECT_EQ(StatusExitCode(Reading(driver::kDeviceNotOpened)), 3);
    EXPECT_EQ(StatusExitCode(Reading(driver::kReadFailed)), 4);
    EXPECT_EQ(StatusExitCode(Reading(driver::kDriverError)), 4);
}

TEST(CtlExitCodes, CommandsReportThePanelsTexts) {
    using driver::CommandResult;
    using driver::HypervisorCommand;
    const auto report = [](HypervisorCommand c, CommandResult r, std::uint32_t answer = 0) {
        return ReportCommand(c, {r, answer});
    };
    for (HypervisorCommand c : {HypervisorCommand::Enable, HypervisorCommand::Disable}) {
        const CommandReport accepted = report(c, CommandResult::Answered, 0);
        EXPECT_EQ(accepted.exitCode, 0);
        EXPECT_EQ(accepted.errorText, "");
        const CommandReport absent = report(c, CommandResult::NotOpened);
        EXPECT_EQ(absent.exitCode, 3);
        EXPECT_EQ(absent.errorText, "Failed connect to Korvalen driver");
        const CommandReport failed = report(c, CommandResult::ControlFailed);
        EXPECT_EQ(failed.exitCode, 4);
        EXPECT_EQ(failed.errorText, "Error while communicating to Korvalen driver");
        const CommandReport error = report(c, CommandResult::Answered, 255);
        EXPECT_EQ(error.exitCode, 4);
        EXPECT_EQ(error.errorText, "Korvalen driver works with errors");
    }
    const CommandReport refused = report(HypervisorCommand::Enable, CommandResult::Answered, 1);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.errorText, "Hypervisor can not be enabled. Shutdown all Virtual Machines.");
    // The panel gives a disable's answer 1 no meaning and shows nothing for it.
    EXPECT_EQ(report(HypervisorCommand::Disable, CommandResult::Answered, 1).exitCode, 0);
}

TEST(CtlTexts, CaptionThenEachDescriptionLine) {
    EXPECT_EQ(StatusText(Reading(driver::kStatusRead, driver::kEnabledEverywhere)),
              "Hypervisor enabled\nHypervisor works properly\n");
    EXPECT_EQ(StatusText(Reading(driver::kStatusRead, driver::kEnabledNowhere, 0x01 | 0x08)),
              "Hypervisor not enabled\nYour processor is not supported\n"
              "Error while allocating resources\n");
    EXPECT_EQ(StatusText(Reading(driver::kDeviceNotOpened)),
              "General error\nFailed connect to Korvalen driver\n");
    EXPECT_EQ(StatusText(Reading(driver::kStatusRead, driver::kEnabledPartly, 0x10 | 0x20)),
              "Hypervisor enabled partly\nKorvalen driver works with errors\n");
}

TEST(CtlTexts, DescriptionLinesSplitOnThePanelsSeparatorOnly) {
    EXPECT_EQ(DescriptionLines("a\n\rb\n\r"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(DescriptionLines("a\nb"), (std::vector<std::string>{"a\nb"}));
    EXPECT_TRUE(DescriptionLines("").empty());
}

TEST(CtlJson, StringsEscapeQuotesControlAndHighBytes) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("\n\r\x01"), "\"\\u000a\\u000d\\u0001\"");
    EXPECT_EQ(JsonString("\xE9\x7F"), "\"\\u00e9\\u007f\"");
}

TEST(CtlJson, ReadingWithCountsProblemsAndTexts) {
    const std::string json =
        StatusJson(Reading(driver::kStatusRead, driver::kEnabledPartly, 0x02 | 0x20), {4, 3});
    EXPECT_EQ(json,
              "{\"state\":\"enabled-partly\",\"exitCode\":1,"
              "\"processors\":{\"total\":4,\"enabled\":3},\"problemFlags\":34,"
              "\"problems\":[\"no-virtualization-technology\",\"driver-works-with-errors-2\"],"
              "\"driverResult\":{\"code\":0,\"name\":\"read\"},"
              "\"caption\":\"Hypervisor enabled partly\","
              "\"description\":[\"Not every processor supports Virtualization Technoligy\","
              "\"Korvalen driver works with errors\"]}\n");
}

TEST(CtlJson, AFailedReadHasNoCountsNorProblems) {
    const std::string json = StatusJson(Reading(driver::kDriverError, 0, 0x3F), {2, 2});
    EXPECT_EQ(json,
              "{\"state\":\"unknown\",\"exitCode\":4,\"processors\":null,\"problemFlags\":0,"
              "\"problems\":[],\"driverResult\":{\"code\":255,\"name\":\"driver-error\"},"
              "\"caption\":\"General error\","
              "\"description\":[\"Korvalen driver works with errors\"]}\n");
}

TEST(CtlCounts, EnabledIsBitZeroOfEachRecord) {
    const driver::ProcessorStatusTable table{{0, 0x1}, {1, 0x10000000}, {2, 0x10000001}};
    const ProcessorCounts counts = CountProcessors(table);
    EXPECT_EQ(counts.total, 3u);
    EXPECT_EQ(counts.enabled, 2u);
}

TEST(CtlHelp, ListsEveryExitCode) {
    const std::string help = HelpText();
    for (const char* code : {"0 enabled on every processor", "1 enabled partly", "2 not enabled",
                             "3 driver not reachable", "4 driver error", "0 accepted", "1 refused",
                             "0 ended or none running", "1 still running", "exit 64"})
        EXPECT_NE(help.find(code), std::string::npos) << code;
}
