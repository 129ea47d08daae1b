#include "toolkit/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using toolkit::SplitLines;

namespace {
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    for (auto line : SplitLines(text)) out.emplace_back(line);
    return out;
}
using V = std::vector<std::string>;
}  // namespace

TEST(SplitLines, EachBreakPairIsOneBreak) {
    EXPECT_EQ(Lines("a\r\nb"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\n\rb"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\rb"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\nb"), (V{"a", "b"}));
}

TEST(SplitLines, RepeatedBreaksMakeEmptyLines) {
    EXPECT_EQ(Lines("a\n\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\r\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\n\r\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\r\n\r\nb"), (V{"a", "", "b"}));
    // LF CR LF: the first pair is one break, the last LF another.
    EXPECT_EQ(Lines("a\n\r\nb"), (V{"a", "", "b"}));
}

TEST(SplitLines, EndsAndEmptyText) {
    EXPECT_EQ(Lines(""), (V{""}));
    EXPECT_EQ(Lines("a"), (V{"a"}));
    EXPECT_EQ(Lines("a\n\r"), (V{"a"}));
    EXPECT_EQ(Lines("\nb"), (V{"", "b"}));
    EXPECT_EQ(Lines("tab\there"), (V{"tab\there"}));
}
