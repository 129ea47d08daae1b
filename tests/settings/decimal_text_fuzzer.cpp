// Checks the reading conversion of stored decimal text against std::from_chars on
// arbitrary bytes, and that every integer comes back from its own text.
#include "settings/decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

// The value that plain signed decimal text stands for, or 0 for anything else.
int32_t Reference(std::string_view text) {
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    if (digits.empty()) return 0;
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (settings::ParseDecimalText(text) != Reference(text)) std::abort();

    if (size >= sizeof(int32_t)) {
        int32_t value = 0;
        std::memcpy(&value, data, sizeof value);
        if (settings::ParseDecimalText(settings::FormatDecimalText(value)) != value) std::abort();
    }
    return 0;
}
