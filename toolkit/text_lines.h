// Breaking a label's text into lines. Win32-free.
#pragma once

#include <string_view>
#include <vector>

namespace toolkit {

// A line ends at CR LF, LF CR, a lone CR or a lone LF: each pair is one break, so text
// joined with LF CR breaks once. A break at the very end starts no further line, and
// empty text is one empty line (so it still has a line's height).
[[nodiscard]] std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace toolkit
