// The decimal text in which the per-user integers are stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

// Plain signed decimal only: an optional leading minus and one or more digits whose value
// fits in 32 bits. Anything else (blanks, a plus sign, other characters, overflow, empty
// text) reads as 0, so a damaged value never stops the program.
[[nodiscard]] int32_t ParseDecimalText(std::string_view text) noexcept;

// The canonical form: a minus for negative numbers, no leading zeros, no blanks.
[[nodiscard]] std::string FormatDecimalText(int32_t value);

}  // namespace settings
