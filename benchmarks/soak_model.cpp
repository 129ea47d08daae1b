#include "benchmarks/soak_model.h"

#include <stdexcept>

#include "driver/driver_types.h"
#include "simulator/sim_scenario.h"
#include "status/status_decision.h"

namespace soak {

namespace {

// Problem codes in bits 28 to 31 of a status word, and the flags they stand for.
struct ProblemCode {
    std::uint32_t code;
    driver::ProblemFlags flag;
};
constexpr ProblemCode kProblemCodes[] = {
    {1, driver::kProcessorNotSupported},
    {2, driver::kNoVirtualizationTechnology},
    {3, driver::kVirtualizationTechnologyNotAllowed},
    {4, driver::kResourceAllocationFailed},
    {5, driver::kDriverWorksWithErrors},
};

driver::ProblemFlags FlagOfCode(std::uint32_t code) {
    for (const auto& p : kProblemCodes)
        if (p.code == code) return p.flag;
    return 0;
}

// The first scenarios of the list, whose reads succeed.
constexpr std::size_t kReadableScenarios = 12;

}  // namespace

const std::vector<Scenario>& Scenarios() {
    static const std::vector<Scenario> all = {
        {"enabled everywhere", {"--status", "0x1,0x1,0x1,0x1"}, {}},
        {"enabled partly", {"--status", "0x1,0x0,0x1,0x0"}, {}},
        {"enabled nowhere", {"--status", "0x0,0x0,0x0,0x0"}, {}},
        {"not supported here", {"--status", "0x1,0x10000000,0x1,0x1"}, {}},
        {"no virtualization", {"--status", "0x20000000,0x20000000"}, {}},
        {"virtualization not allowed", {"--status", "0x30000000,0x0"}, {}},
        {"allocation failed", {"--status", "0x1,0x40000000"}, {}},
        {"driver works with errors", {"--status", "0x50000001,0x1"}, {}},
        {"enable refused", {"--status", "0x0,0x0", "--enable-answer", "1"}, {}},
        {"enable driver error", {"--status", "0x0,0x0", "--enable-answer", "255"}, {}},
        {"disable refused", {"--status", "0x1,0x1", "--disable-answer", "1"}, {}},
        {"disable driver error", {"--status", "0x1,0x1", "--disable-answer", "255"}, {}},
        {"device absent", {}, {"absent"}},
        {"first read fails", {}, {"first-read"}},
        {"second read fails", {}, {"second-read"}},
        {"count -1", {}, {"count-minus-one"}},
        {"first count huge", {}, {"first-count", "0x7FFFFFFF"}},
        {"second count zero", {}, {"second-count-zero"}},
        {"second count larger", {}, {"second-count-larger"}},
        {"second count -1", {}, {"second-count", "-1"}},
        {"short read of a header", {"--status", "0x1,0x1"}, {"short-read", "16"}},
        {"short read of nothing", {}, {"short-read", "0"}},
        {"commands fail", {"--status", "0x0,0x1"}, {"control"}},
        {"short answer", {"--status", "0x0,0x0", "--enable-answer", "1"}, {"short-answer", "0"}},
        {"one-byte answer",
         {"--status", "0x1,0x1", "--disable-answer", "255"},
         {"short-answer", "1"}},
    };
    return all;
}

const Scenario& PickScenario(Walk& walk) {
    const auto& all = Scenarios();
    const auto readable = static_cast<std::uint32_t>(kReadableScenarios);
    if (walk.Below(10) < 7) return all[walk.Below(readable)];
    return all[readable + walk.Below(static_cast<std::uint32_t>(all.size()) - readable)];
}

KorvalenSimScenario MakeScenario(const Scenario& scenario) {
    KorvalenSimScenario s = sim::DefaultScenario();
    std::string error = sim::ApplySetOptions(scenario.set, s);
    if (error.empty() && !scenario.faults.empty()) error = sim::ApplyFaults(scenario.faults, s);
    if (!error.empty()) throw std::invalid_argument(std::string(scenario.name) + ": " + error);
    return s;
}

status::StatusReading ExpectedReading(const KorvalenSimScenario& s,
                                      const status::StatusReading& lastGood) {
    status::StatusReading failed = lastGood;
    if (s.faults & KORVALEN_SIM_FAULT_ABSENT) {
        failed.driverResult = driver::kDeviceNotOpened;
        return failed;
    }
    if (s.faults & (KORVALEN_SIM_FAULT_FIRST_READ | KORVALEN_SIM_FAULT_SECOND_READ)) {
        failed.driverResult = driver::kReadFailed;
        return failed;
    }
    const std::uint32_t streamBytes = (s.processorCount + 1) * 16;
    const std::uint32_t delivered = (s.faults & KORVALEN_SIM_FAULT_SHORT_READ)
                                        ? std::min(s.shortReadBytes, streamBytes)
                                        : streamBytes;
    // The first read: a header of 16 bytes, zeros where less came.
    std::int64_t firstCount = delivered >= 8 ? static_cast<std::int64_t>(s.processorCount) : 0;
    if (delivered >= 8 && (s.faults & KORVALEN_SIM_FAULT_FIRST_COUNT)) firstCount = s.firstCount;
    // A table is announced by a Count whose low half is a record count within bounds.
    const auto low = static_cast<std::int32_t>(firstCount & 0xFFFFFFFF);
    if (low < 0 || (low == 0 && firstCount != 0) || low > 65536) {
        failed.driverResult = driver::kDriverError;
        return failed;
    }
    const auto announced = static_cast<std::uint32_t>(low);
    // The second read: the whole stream again, as far as the buffer and the stand-in reach.
    std::int64_t secondCount = static_cast<std::int64_t>(s.processorCount);
    if (s.faults & KORVALEN_SIM_FAULT_SECOND_COUNT) secondCount = s.secondCount;
    if (delivered < 8) secondCount = firstCount;  // the header the first read left
    const auto secondLow = static_cast<std::int32_t>(secondCount & 0xFFFFFFFF);
    if (secondCount == 0 || secondLow < 0 || (secondLow == 0 && secondCount != 0) ||
        static_cast<std::uint32_t>(secondLow) > announced) {
        failed.driverResult = driver::kDriverError;
        return failed;
    }
    const auto records = static_cast<std::uint32_t>(secondLow);
    unsigned seen = 0;
    driver::ProblemFlags flags = 0;
    for (std::uint32_t i = 0; i < records; ++i) {
        // A record the stand-in did not deliver keeps the zeros of the buffer.
        const bool came = 16 * (i + 1) + 16 <= delivered && i < s.processorCount;
        const std::uint32_t word = came ? s.status[i] : 0;
        seen |= (word & 1u) ? 1u : 2u;
        flags |= FlagOfCode(word >> 28);
    }
    status::StatusReading reading;
    reading.hypervisorState = seen == 1   ? driver::kEnabledEverywhere
                              : seen == 3 ? driver::kEnabledPartly
                                          : driver::kEnabledNowhere;
    reading.problemFlags = flags;
    return reading;
}

driver::CommandOutcome ExpectedCommand(KorvalenSimScenario& s, driver::HypervisorCommand command) {
    if (s.faults & KORVALEN_SIM_FAULT_ABSENT) return {driver::CommandResult::NotOpened, 0};
    if (s.faults & KORVALEN_SIM_FAULT_CONTROL) return {driver::CommandResult::ControlFailed, 0};
    const bool enable = command == driver::HypervisorCommand::Enable;
    const std::uint32_t answer = enable ? s.enableAnswer : s.disableAnswer;
    for (std::uint32_t i = 0; answer == 0 && i < s.processorCount; ++i) {
        if (!enable)
            s.status[i] &= ~1u;
        else if ((s.status[i] >> 28) == 0)
            s.status[i] |= 1u;
    }
    // A short answer is its bytes over the zeros the caller gave.
    std::uint32_t seen = answer;
    if ((s.faults & KORVALEN_SIM_FAULT_SHORT_ANSWER) && s.answerBytes < 4)
        seen = s.answerBytes == 0 ? 0 : answer & ((1u << (8 * s.answerBytes)) - 1);
    return {driver::CommandResult::Answered, seen};
}

const char* ActionName(Action action) {
    switch (action) {
        case Action::Scenario: return "scenario";
        case Action::Show: return "tray show";
        case Action::SwitchTab: return "tab switch";
        case Action::Enable: return "Enable";
        case Action::Disable: return "Disable";
        case Action::Escape: return "Esc";
        case Action::Close: return "close";
        case Action::Scale: return "scale change";
        case Action::TaskbarCreated: return "TaskbarCreated";
        case Action::Restart: return "restart";
    }
    return "?";
}

// splitmix64: fixed arithmetic, so a seed means the same walk everywhere.
std::uint64_t Walk::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint32_t Walk::Below(std::uint32_t bound) {
    return static_cast<std::uint32_t>(Next() % bound);
}

Action Walk::NextAction() {
    // Weights out of 100: the panel used most, the rarer events of a day less often.
    struct Weighted {
        Action action;
        std::uint32_t weight;
    };
    static constexpr Weighted kWeights[] = {
        {Action::Scenario, 20},
        {Action::Show, 20},
        {Action::SwitchTab, 12},
        {Action::Enable, 13},
        {Action::Disable, 13},
        {Action::Escape, 8},
        {Action::Close, 4},
        {Action::Scale, 5},
        {Action::TaskbarCreated, 3},
        // Rare: after a failed read Enable and Disable stay unavailable for the life of
        // the process, as specified; a new process brings them back.
        {Action::Restart, 2},
    };
    std::uint32_t pick = Below(100);
    for (const auto& w : kWeights) {
        if (pick < w.weight) return w.action;
        pick -= w.weight;
    }
    return Action::Show;
}

void PanelModel::Start(const KorvalenSimScenario& scenario) {
    *this = PanelModel{};
    Refresh(scenario);
    // The labels are available when the window is made; LoadControlStates decides.
    labels = ui::DecideCommandLabels(ui::LabelCaller::LoadControlStates, shown.driverResult,
                                     shown.hypervisorState, shown.problemFlags, {true, true});
}

void PanelModel::Refresh(const KorvalenSimScenario& scenario) {
    shown = ExpectedReading(scenario, lastGood);
    if (shown.driverResult == driver::kStatusRead) lastGood = shown;
}

std::string PanelModel::Caption() const {
    return status::DescribeStatus(shown).caption;
}

std::string PanelModel::Description() const {
    return status::DescribeStatus(shown).description;
}

}  // namespace soak
