#include "settings/decimal_text.h"

#include <limits>

namespace settings {

int32_t ParseDecimalText(std::string_view text) noexcept {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return 0;

    // The magnitude may reach 2^31 for INT32_MIN; anything beyond is overflow.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kLimit) return 0;
    }
    if (negative) return static_cast<int32_t>(-magnitude);
    return magnitude == kLimit ? 0 : static_cast<int32_t>(magnitude);
}

std::string FormatDecimalText(int32_t value) {
    return std::to_string(value);
}

}  // namespace settings
