// Fetching a text whose length is not known beforehand, from calls that fill a caller's
// buffer and cut the text short when it does not fit (GetModuleFileNameA is one).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace settings {

// fetch(buffer, capacity) writes at most capacity characters and returns how many it
// wrote; 0 is failure, and capacity itself means the text may have been cut. The buffer
// grows until the text fits, up to maxCapacity; a text that never fits is a failure.
template <typename Fetch>
[[nodiscard]] std::optional<std::string> FetchWholeText(Fetch fetch, std::size_t initialCapacity,
                                                        std::size_t maxCapacity) {
    std::string buffer;
    for (std::size_t capacity = initialCapacity > 0 ? initialCapacity : 1; capacity <= maxCapacity;
         capacity *= 2) {
        buffer.assign(capacity + 1, '\0');  // one more for a terminating NUL
        const std::size_t written = fetch(buffer.data(), capacity);
        if (written == 0) return std::nullopt;
        if (written < capacity) {
            buffer.resize(written);
            return buffer;
        }
    }
    return std::nullopt;
}

}  // namespace settings
