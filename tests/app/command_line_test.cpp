#include "app/command_line.h"

#include <gtest/gtest.h>

using app::IsQuitRequest;
using app::SplitCommandLine;

TEST(CommandLine, SplitsOnControlCharactersAndBlanksAndDropsQuotes) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\K\k.exe" -q)"),
              (V{R"(C:\Program Files\K\k.exe)", "-q"}));
    EXPECT_EQ(SplitCommandLine("k.exe\t\x01 a  b\x1F"), (V{"k.exe", "a", "b"}));
    EXPECT_EQ(SplitCommandLine(R"(k.exe a"b c"d)"), (V{"k.exe", "ab cd"}));
    EXPECT_EQ(SplitCommandLine(R"(k.exe "")"), (V{"k.exe", ""}));
    EXPECT_EQ(SplitCommandLine("  "), V{});
    EXPECT_EQ(SplitCommandLine(R"(k.exe "unterminated arg)"), (V{"k.exe", "unterminated arg"}));
}

TEST(CommandLine, QuitRequests) {
    EXPECT_TRUE(IsQuitRequest("k.exe -Q"));
    EXPECT_TRUE(IsQuitRequest("k.exe -q"));
    EXPECT_TRUE(IsQuitRequest(R"("C:\a b\k.exe"   -q   )"));
    EXPECT_TRUE(IsQuitRequest(R"(k.exe "  -q  ")")) << "one quoted argument with blanks around";
    EXPECT_TRUE(IsQuitRequest("k.exe \"\t-Q\x01\""));
    EXPECT_TRUE(IsQuitRequest("k.exe \"-\"Q")) << "the quotes are dropped, leaving -Q";
}

TEST(CommandLine, NormalStarts) {
    EXPECT_FALSE(IsQuitRequest("k.exe"));
    EXPECT_FALSE(IsQuitRequest("k.exe -Q x")) << "a second argument";
    EXPECT_FALSE(IsQuitRequest("k.exe /Q")) << "slash instead of hyphen";
    EXPECT_FALSE(IsQuitRequest("k.exe -Qx")) << "a longer word";
    EXPECT_FALSE(IsQuitRequest("k.exe -Q -Q"));
    EXPECT_FALSE(IsQuitRequest("k.exe \"\""));
}
