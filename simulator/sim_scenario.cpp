#include "simulator/sim_scenario.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace sim {

namespace {

// A number in decimal or 0x hex, as a whole argument; negative values allowed.
std::optional<long long> ParseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const bool negative = text[0] == '-';
    const unsigned long long magnitude = std::strtoull(text.c_str() + (negative ? 1 : 0), &end, 0);
    if (errno != 0 || end == nullptr || *end != '\0') return std::nullopt;
    const auto value = static_cast<long long>(magnitude);
    return negative ? -value : value;
}

std::optional<std::vector<std::uint32_t>> ParseWords(const std::string& list) {
    std::vector<std::uint32_t> words;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        const auto value = ParseNumber(item);
        if (!value || *value < 0 || *value > 0xFFFFFFFFll) return std::nullopt;
        words.push_back(static_cast<std::uint32_t>(*value));
    }
    return words;
}

}  // namespace

KorvalenSimScenario DefaultScenario() {
    KorvalenSimScenario s{};
    s.processorCount = 4;
    for (std::uint32_t i = 0; i < s.processorCount; ++i) s.status[i] = 1;
    return s;
}

std::string ApplySetOptions(const std::vector<std::string>& args, KorvalenSimScenario& scenario) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) return "missing value after " + option;
        const std::string& value = args[++i];
        if (option == "--status") {
            const auto words = ParseWords(value);
            if (!words || words->size() > KORVALEN_SIM_MAX_PROCESSORS)
                return "bad --status list: " + value;
            scenario.processorCount = static_cast<std::uint32_t>(words->size());
            for (std::uint32_t p = 0; p < KORVALEN_SIM_MAX_PROCESSORS; ++p)
                scenario.status[p] = p < words->size() ? (*words)[p] : 0;
        } else if (option == "--enable-answer" || option == "--disable-answer") {
            const auto answer = ParseNumber(value);
            if (!answer || *answer < 0 || *answer > 0xFFFFFFFFll) return "bad answer: " + value;
            (option == "--enable-answer" ? scenario.enableAnswer : scenario.disableAnswer) =
                static_cast<std::uint32_t>(*answer);
        } else {
            return "unknown option " + option;
        }
    }
    return {};
}

std::string ApplyFaults(const std::vector<std::string>& args, KorvalenSimScenario& scenario) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        auto value = [&]() -> std::optional<long long> {
            return i + 1 < args.size() ? ParseNumber(args[++i]) : std::nullopt;
        };
        if (name == "none") {
            scenario.faults = 0;
        } else if (name == "absent") {
            scenario.faults |= KORVALEN_SIM_FAULT_ABSENT;
        } else if (name == "first-read") {
            scenario.faults |= KORVALEN_SIM_FAULT_FIRST_READ;
        } else if (name == "second-read") {
            scenario.faults |= KORVALEN_SIM_FAULT_SECOND_READ;
        } else if (name == "count-minus-one") {
            scenario.faults |= KORVALEN_SIM_FAULT_FIRST_COUNT;
            scenario.firstCount = -1;
        } else if (name == "first-count") {
            const auto v = value();
            if (!v) return "first-count needs a value";
            scenario.faults |= KORVALEN_SIM_FAULT_FIRST_COUNT;
            scenario.firstCount = *v;
        } else if (name == "second-count-zero") {
            scenario.faults |= KORVALEN_SIM_FAULT_SECOND_COUNT;
            scenario.secondCount = 0;
        } else if (name == "second-count-larger") {
            scenario.faults |= KORVALEN_SIM_FAULT_SECOND_COUNT;
            scenario.secondCount = static_cast<long long>(scenario.processorCount) + 1;
        } else if (name == "second-count") {
            const auto v = value();
            if (!v) return "second-count needs a value";
            scenario.faults |= KORVALEN_SIM_FAULT_SECOND_COUNT;
            scenario.secondCount = *v;
        } else if (name == "short-read") {
            const auto v = value();
            if (!v || *v < 0 || *v > 0xFFFFFFFFll) return "short-read needs a byte count";
            scenario.faults |= KORVALEN_SIM_FAULT_SHORT_READ;
            scenario.shortReadBytes = static_cast<std::uint32_t>(*v);
        } else if (name == "control") {
            scenario.faults |= KORVALEN_SIM_FAULT_CONTROL;
        } else if (name == "short-answer") {
            const auto v = value();
            if (!v || *v < 0 || *v > 3) return "short-answer needs a byte count of 0 to 3";
            scenario.faults |= KORVALEN_SIM_FAULT_SHORT_ANSWER;
            scenario.answerBytes = static_cast<std::uint32_t>(*v);
        } else {
            return "unknown fault " + name;
        }
    }
    return {};
}

std::string FormatScenario(const KorvalenSimScenario& s) {
    std::ostringstream out;
    out << "processors " << s.processorCount << "\nstatus";
    for (std::uint32_t i = 0; i < s.processorCount && i < KORVALEN_SIM_MAX_PROCESSORS; ++i)
        out << (i ? "," : " ") << "0x" << std::hex << s.status[i] << std::dec;
    out << "\nenable-answer " << s.enableAnswer << "\ndisable-answer " << s.disableAnswer
        << "\nfaults 0x" << std::hex << s.faults << std::dec << "\nfirst-count " << s.firstCount
        << "\nsecond-count " << s.secondCount << "\nshort-read " << s.shortReadBytes
        << "\nshort-answer " << s.answerBytes << "\n";
    return out.str();
}

std::string FormatCounters(const KorvalenSimCounters& c) {
    std::ostringstream out;
    out << "opens " << c.opens << "\ncloses " << c.closes << "\nreads " << c.reads
        << "\nread-lengths";
    for (std::uint32_t i = 0; i < c.reads && i < KORVALEN_SIM_READ_LOG; ++i)
        out << (i ? "," : " ") << c.readLengths[i];
    out << "\nopen-access";
    for (std::uint32_t i = 0; i < c.opens && i < KORVALEN_SIM_OPEN_LOG; ++i)
        out << (i ? "," : " ") << "0x" << std::hex << c.openAccess[i] << std::dec;
    out << "\nopen-share";
    for (std::uint32_t i = 0; i < c.opens && i < KORVALEN_SIM_OPEN_LOG; ++i)
        out << (i ? "," : " ") << c.openShare[i];
    out << "\nenables " << c.enables << "\ndisables " << c.disables << "\n";
    return out.str();
}

}  // namespace sim
