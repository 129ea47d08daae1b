// korvalen-sim: sets the driver stand-in's scenario, reads its counters, starts and stops
// its service. A Windows console program.
//   korvalen-sim set [--status W,W,...] [--enable-answer N] [--disable-answer N]
//   korvalen-sim fault NAME [VALUE] ...     (none clears every fault)
//   korvalen-sim show | counters | reset | reset-counters | start | stop
#include <cstdio>
#include <string>
#include <vector>

#include "simulator/sim_client.h"
#include "simulator/sim_scenario.h"

namespace {

constexpr const char* kUsage =
    "usage: korvalen-sim set [--status W,W,...] [--enable-answer N] [--disable-answer N]\n"
    "       korvalen-sim fault none|absent|first-read|second-read|count-minus-one|\n"
    "                          first-count V|second-count-zero|second-count-larger|\n"
    "                          second-count V|short-read BYTES|control|short-answer BYTES ...\n"
    "       korvalen-sim show|counters|reset|reset-counters|start|stop\n"
    "The driver stand-in is a test and demo tool; it switches nothing on any processor.\n";

int Fail(const std::string& text) {
    std::fprintf(stderr, "korvalen-sim: %s\n", text.c_str());
    return 1;
}

int Edit(bool faults, const std::vector<std::string>& args) {
    auto scenario = sim::GetScenario();
    if (!scenario) return Fail("the stand-in is not running");
    const std::string error =
        faults ? sim::ApplyFaults(args, *scenario) : sim::ApplySetOptions(args, *scenario);
    if (!error.empty()) return Fail(error);
    if (!sim::SetScenario(*scenario)) return Fail("the stand-in refused the scenario");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string verb = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (verb == "set") return Edit(false, args);
    if (verb == "fault") return Edit(true, args);
    if (verb == "show" || verb == "counters") {
        if (verb == "show") {
            const auto scenario = sim::GetScenario();
            if (!scenario) return Fail("the stand-in is not running");
            std::fputs(sim::FormatScenario(*scenario).c_str(), stdout);
        } else {
            const auto counters = sim::GetCounters();
            if (!counters) return Fail("the stand-in is not running");
            std::fputs(sim::FormatCounters(*counters).c_str(), stdout);
        }
        return 0;
    }
    if (verb == "reset") return sim::Reset() ? 0 : Fail("the stand-in is not running");
    if (verb == "reset-counters")
        return sim::ResetCounters() ? 0 : Fail("the stand-in is not running");
    if (verb == "start") return sim::StartStandIn() ? 0 : Fail("the service did not start");
    if (verb == "stop") return sim::StopStandIn() ? 0 : Fail("the service did not stop");
    std::fputs(kUsage, stderr);
    return 2;
}
