#include "toolkit/text_lines.h"

namespace toolkit {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        ++i;
        // The other break character right after makes a pair: one break, not two.
        if (i < text.size() && (text[i] == '\r' || text[i] == '\n') && text[i] != c) ++i;
        start = i;
    }
    if (start < text.size() || lines.empty()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace toolkit
