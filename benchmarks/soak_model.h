// The soak's walk and what it expects, without Win32: the driver scenarios and faults the
// stand-in plays, what a status read of each comes to, what a command comes to, and the
// panel as the user should see it after each step. benchmarks/soak_probe.cpp drives the
// real panel with it and compares.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/hypervisor_commands.h"
#include "simulator/sim_protocol.h"
#include "status/status_texts.h"
#include "ui/label_states.h"

namespace soak {

// One scenario of the walk: korvalen-sim's set options and faults from the default one.
struct Scenario {
    const char* name;
    std::vector<std::string> set;
    std::vector<std::string> faults;
};

// Every scenario and fault the walk visits: statuses, refusals of Enable and Disable,
// the device absent, failing reads, each count fault, short reads and short answers.
[[nodiscard]] const std::vector<Scenario>& Scenarios();
// One of them for the next step: seven times in ten one whose reads succeed (statuses and
// refusals), so that Enable and Disable, which stay unavailable after a failed read, come
// often enough between the faults.
[[nodiscard]] const Scenario& PickScenario(class Walk& walk);
// The stand-in's scenario for one of them; throws when the options are not the tool's.
[[nodiscard]] KorvalenSimScenario MakeScenario(const Scenario& scenario);

// What a status read of the stand-in gives: a failed read keeps the state and problems of
// the last table read (lastGood), as the product's status table does.
[[nodiscard]] status::StatusReading ExpectedReading(const KorvalenSimScenario& scenario,
                                                    const status::StatusReading& lastGood);
// What a command comes to with this scenario, and the scenario after it (the stand-in
// enables the processors without a problem code, or disables all, when it answers 0).
[[nodiscard]] driver::CommandOutcome ExpectedCommand(KorvalenSimScenario& scenario,
                                                     driver::HypervisorCommand command);

enum class Action {
    Scenario,        // the stand-in plays another scenario
    Show,            // a left press on the tray icon
    SwitchTab,       // a click on the other tab
    Enable,          // a click on Enable
    Disable,         // a click on Disable
    Escape,          // Esc on the panel
    Close,           // the system's close command
    Scale,           // a scale change of the window (96 <-> 144 DPI)
    TaskbarCreated,  // the shell's new-taskbar broadcast
    Restart,         // the panel told to quit, and started again
};
[[nodiscard]] const char* ActionName(Action action);

// A seeded walk: the same seed gives the same steps on every machine and architecture.
class Walk {
public:
    explicit Walk(std::uint64_t seed) : state_(seed) {}
    [[nodiscard]] Action NextAction();
    // A number below bound (bound > 0).
    [[nodiscard]] std::uint32_t Below(std::uint32_t bound);

private:
    std::uint64_t Next();
    std::uint64_t state_;
};

// The panel as the user should see it.
struct PanelModel {
    bool visible = false;
    bool settingsPage = false;
    int dpi = 96;
    status::StatusReading shown;     // the reading of the last refresh
    status::StatusReading lastGood;  // state and problems of the last table read
    ui::CommandLabels labels;        // Enable and Disable available
    // Start-up: the first refresh, then the labels as LoadControlStates sets them.
    void Start(const KorvalenSimScenario& scenario);
    // A refresh (a show from hidden, after a command).
    void Refresh(const KorvalenSimScenario& scenario);
    [[nodiscard]] std::string Caption() const;
    [[nodiscard]] std::string Description() const;
};

}  // namespace soak
