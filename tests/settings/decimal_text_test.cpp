#include "settings/decimal_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using settings::FormatDecimalText;
using settings::ParseDecimalText;

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

}  // namespace

TEST(DecimalText, EveryValueComesBackFromItsCanonicalText) {
    const struct {
        int32_t value;
        const char* text;
    } cases[] = {{0, "0"},
                 {1, "1"},
                 {3, "3"},
                 {-1, "-1"},
                 {262, "262"},
                 {kMin, "-2147483648"},
                 {kMax, "2147483647"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDecimalText(c.value), c.text);
        EXPECT_EQ(ParseDecimalText(c.text), c.value) << c.text;
    }
}

TEST(DecimalText, PlainSignedDecimalIsRead) {
    EXPECT_EQ(ParseDecimalText("-0"), 0);
    EXPECT_EQ(ParseDecimalText("007"), 7);
    EXPECT_EQ(ParseDecimalText("-0042"), -42);
    EXPECT_EQ(ParseDecimalText("1000000"), 1000000);
}

TEST(DecimalText, AnythingElseReadsAsZero) {
    const char* const notDecimal[] = {"",    "-",     "abc",      "12abc", " 5",  "5 ",
                                      "+5",  "--5",   "5-",       "1.0",   "1e3", "0x10",
                                      "\t7", "1,000", "\xd9\xa3", "-+1",   "- 1"};
    for (const char* text : notDecimal) EXPECT_EQ(ParseDecimalText(text), 0) << '"' << text << '"';
    EXPECT_EQ(ParseDecimalText(std::string("1\0"
                                           "2",
                                           3)),
              0)
        << "an embedded NUL is not a digit";
}

TEST(DecimalText, OverflowReadsAsZero) {
    EXPECT_EQ(ParseDecimalText("2147483648"), 0);
    EXPECT_EQ(ParseDecimalText("-2147483649"), 0);
    EXPECT_EQ(ParseDecimalText("4294967296"), 0);  // wraps to 0 in 32 bits
    EXPECT_EQ(ParseDecimalText("4294967297"), 0);  // would wrap to 1
    EXPECT_EQ(ParseDecimalText("99999999999999999999999"), 0);
}

TEST(DecimalText, AMegabyteOfTextIsReadWithoutOverflow) {
    const std::string digits(1 << 20, '9');
    EXPECT_EQ(ParseDecimalText(digits), 0);
    std::string zeros(1 << 20, '0');
    zeros.back() = '5';
    EXPECT_EQ(ParseDecimalText(zeros), 5);
    EXPECT_EQ(ParseDecimalText("-" + zeros), -5);
}
