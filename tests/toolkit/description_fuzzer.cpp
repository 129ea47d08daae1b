// Feeds arbitrary text to the window-description parser: it either parses or throws
// DescriptionError, and never reads out of bounds.
#include "toolkit/description.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto w =
            toolkit::ParseDescription(std::string_view(reinterpret_cast<const char*>(data), size));
        (void)toolkit::UnresolvedHandlers(
            w, [](std::string_view, toolkit::HandlerKind) { return false; });
    } catch (const toolkit::DescriptionError&) {
    }
    return 0;
}
