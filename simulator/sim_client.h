// The client of the driver stand-in's control device and of its service. Used by the
// korvalen-sim tool and by the Wine tests directly.
#pragma once

#include <chrono>
#include <optional>

#include "simulator/sim_protocol.h"

namespace sim {

using namespace std::chrono_literals;

[[nodiscard]] bool SetScenario(const KorvalenSimScenario& scenario);
[[nodiscard]] std::optional<KorvalenSimScenario> GetScenario();
[[nodiscard]] std::optional<KorvalenSimCounters> GetCounters();
// The default scenario and all counters zero.
[[nodiscard]] bool Reset();
[[nodiscard]] bool ResetCounters();

// True when the stand-in's control device can be opened (its service runs).
[[nodiscard]] bool IsRunning();
// Waits, with a deadline, until the control device opens.
[[nodiscard]] bool WaitUntilRunning(std::chrono::milliseconds deadline = 20s);

// Starts or stops the stand-in's kernel service and waits, with a deadline, until its
// devices have appeared or gone.
[[nodiscard]] bool StartStandIn(std::chrono::milliseconds deadline = 20s);
[[nodiscard]] bool StopStandIn(std::chrono::milliseconds deadline = 20s);

}  // namespace sim
