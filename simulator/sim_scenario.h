// The stand-in's scenario as the korvalen-sim tool edits it, and its counters as the tool
// prints them. Win32-free.
#pragma once

#include <string>
#include <vector>

#include "simulator/sim_protocol.h"

namespace sim {

// Four processors, all enabled, no problem codes, every command answered 0.
[[nodiscard]] KorvalenSimScenario DefaultScenario();

// Applies `set` options (--status W,W,..., --enable-answer N, --disable-answer N) to the
// scenario. Returns an error text, empty on success.
[[nodiscard]] std::string ApplySetOptions(const std::vector<std::string>& args,
                                          KorvalenSimScenario& scenario);

// Applies `fault` names (none, absent, first-read, second-read, count-minus-one,
// first-count V, second-count-zero, second-count-larger, second-count V, short-read BYTES,
// control, short-answer BYTES). Returns an error text, empty on success.
[[nodiscard]] std::string ApplyFaults(const std::vector<std::string>& args,
                                      KorvalenSimScenario& scenario);

[[nodiscard]] std::string FormatScenario(const KorvalenSimScenario& scenario);
[[nodiscard]] std::string FormatCounters(const KorvalenSimCounters& counters);

}  // namespace sim
