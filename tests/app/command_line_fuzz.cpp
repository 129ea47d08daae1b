// Any byte string as a process command line: splitting must stay in bounds and agree
// with the quit test.
#include "app/command_line.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto args = app::SplitCommandLine(line);
    std::size_t total = 0;
    for (const auto& arg : args) {
        // Quotes are always dropped from the arguments.
        if (arg.find('"') != std::string::npos) std::abort();
        total += arg.size();
    }
    if (total > size) std::abort();
    const bool quit = app::IsQuitRequest(line);
    if (quit && args.size() != 2) std::abort();
    return 0;
}
