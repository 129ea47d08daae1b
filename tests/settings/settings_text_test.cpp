// The Run value's text, the store's error texts and the whole-text fetch.
#include "settings/run_value_text.h"
#include "settings/settings_error.h"
#include "settings/whole_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

using namespace settings;

TEST(RunValueText, PathWithoutBlanksIsStoredAsItIs) {
    EXPECT_EQ(RunValueText("C:\\Korvalen\\KorvalenControlPanel.exe"),
              "C:\\Korvalen\\KorvalenControlPanel.exe");
}

TEST(RunValueText, PathWithABlankIsQuoted) {
    EXPECT_EQ(RunValueText("C:\\Program Files\\Korvalen\\KorvalenControlPanel.exe"),
              "\"C:\\Program Files\\Korvalen\\KorvalenControlPanel.exe\"");
    EXPECT_EQ(RunValueText("C:\\a\tb\\x.exe"), "\"C:\\a\tb\\x.exe\"");
}

TEST(SettingsError, CarriesEachTextWithTheNameFilledIn) {
    EXPECT_STREQ(InvalidDataTypeError("Messages").what(), "Invalid data type for 'Messages'");
    EXPECT_STREQ(GetDataError("Settings").what(), "Failed to get data for 'Settings'");
    EXPECT_STREQ(CreateKeyError("General").what(), "Failed to create key General");
    EXPECT_STREQ(SetDataError("Messages").what(), "Failed to set data for 'Messages'");
    // A name that itself holds a pattern is put in literally.
    EXPECT_STREQ(CreateKeyError("%s%s").what(), "Failed to create key %s%s");
}

namespace {

// Behaves as GetModuleFileNameA: writes what fits and returns the capacity when cut.
struct CuttingFetch {
    std::string text;
    int calls = 0;
    std::size_t operator()(char* buffer, std::size_t capacity) {
        ++calls;
        const std::size_t n = std::min(capacity, text.size());
        std::memcpy(buffer, text.data(), n);
        return n;
    }
};

}  // namespace

TEST(WholeText, ALongTextIsFetchedWhole) {
    CuttingFetch fetch{"C:\\" + std::string(600, 'd') + "\\KorvalenControlPanel.exe"};
    const auto text = FetchWholeText(std::ref(fetch), 261, 1 << 16);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, fetch.text);
    EXPECT_EQ(fetch.calls, 3);  // 261, 522, 1044
}

TEST(WholeText, ATextExactlyAsLongAsTheBufferIsFetchedAgain) {
    CuttingFetch fetch{std::string(261, 'p')};
    const auto text = FetchWholeText(std::ref(fetch), 261, 1 << 16);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, fetch.text);
}

TEST(WholeText, FailureAndATextThatNeverFitsGiveNothing) {
    CuttingFetch empty{""};
    EXPECT_FALSE(FetchWholeText(std::ref(empty), 261, 1 << 16));
    CuttingFetch huge{std::string(5000, 'x')};
    EXPECT_FALSE(FetchWholeText(std::ref(huge), 261, 4096));
}
