#include "toolkit/resample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

toolkit::Pixels Solid(int w, int h, std::uint32_t c) {
    return {w, h, std::vector<std::uint32_t>(static_cast<size_t>(w) * h, c)};
}

}  // namespace

TEST(ScaledLength, RoundsToTheNearestPixelHalvesUp) {
    EXPECT_EQ(toolkit::ScaledLength(595, 96), 595);
    EXPECT_EQ(toolkit::ScaledLength(595, 144), 893);  // 892.5
    EXPECT_EQ(toolkit::ScaledLength(95, 120), 119);   // 118.75
    EXPECT_EQ(toolkit::ScaledLength(34, 120), 43);    // 42.5
    EXPECT_EQ(toolkit::ScaledLength(239, 192), 478);
    EXPECT_EQ(toolkit::ScaledLength(13, 168), 23);  // 22.75
    EXPECT_EQ(toolkit::ScaledLength(0, 144), 0);
}

TEST(ChooseStoredScale, ExactWhenStoredElseTheSmallestLargerElseTheLargest) {
    const int both[] = {100, 200};
    EXPECT_EQ(toolkit::ChooseStoredScale(both, 96), 100);
    EXPECT_EQ(toolkit::ChooseStoredScale(both, 120), 200);
    EXPECT_EQ(toolkit::ChooseStoredScale(both, 144), 200);
    EXPECT_EQ(toolkit::ChooseStoredScale(both, 192), 200);
    EXPECT_EQ(toolkit::ChooseStoredScale(both, 288), 200) << "nothing larger: the largest";
    EXPECT_EQ(toolkit::ChooseStoredScale(both, 72), 100) << "below 100 %: the smallest larger";
    const int three[] = {200, 100, 150};
    EXPECT_EQ(toolkit::ChooseStoredScale(three, 144), 150);
    EXPECT_EQ(toolkit::ChooseStoredScale(three, 120), 150);
    EXPECT_EQ(toolkit::ChooseStoredScale(three, 168), 200);
    const int one[] = {100};
    EXPECT_EQ(toolkit::ChooseStoredScale(one, 144), 100);
    EXPECT_EQ(toolkit::ChooseStoredScale({}, 96), 0);
}

TEST(ResampleArea, EachPixelIsTheAverageOfTheAreaItCovers) {
    // Three columns 0, 90, 180 into two: [0, 1.5) and [1.5, 3).
    toolkit::Pixels row{3, 1, {0x000000, 0x5A5A5A, 0xB4B4B4}};
    const auto two = toolkit::ResampleArea(row, 2, 1);
    ASSERT_EQ(two.width, 2);
    EXPECT_EQ(two.At(0, 0), 0x1E1E1Eu);  // (0 + 90 / 2) / 1.5 = 30
    EXPECT_EQ(two.At(1, 0), 0x969696u);  // (90 / 2 + 180) / 1.5 = 150
    // Halving averages each 2 x 2 block, channel by channel.
    toolkit::Pixels block{2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}};
    const auto one = toolkit::ResampleArea(block, 1, 1);
    EXPECT_EQ(one.At(0, 0), 0x808080u);  // 127.5 of each channel, rounded up
}

TEST(ResampleArea, AnExactHalfRoundsUpWhereTheShareIsNoBinaryFraction) {
    // Two into three: the middle pixel is half of each, 0.5, 1.5 and 127.5. Shares of
    // thirds in floating point come out a hair below a half and rounded down.
    toolkit::Pixels row{2, 1, {0x000000, 0x0103FF}};
    const auto three = toolkit::ResampleArea(row, 3, 1);
    EXPECT_EQ(three.At(1, 0), 0x010280u);
    // Four into three, down the picture as well: the middle row is half of rows 1 and 2.
    toolkit::Pixels column{1, 4, {0x000000, 0x000000, 0x010101, 0x010101}};
    const auto down = toolkit::ResampleArea(column, 1, 3);
    EXPECT_EQ(down.At(0, 1), 0x010101u);
}

TEST(ResampleArea, KeepsAFlatColourExactAtAnySizeAndCopiesTheSameSize) {
    for (auto [w, h] : {std::pair{7, 3}, std::pair{893, 359}, std::pair{119, 43}}) {
        const auto out = toolkit::ResampleArea(Solid(1190, 478, 0x0075F3), w, h);
        ASSERT_EQ(out.width, w);
        ASSERT_EQ(out.height, h);
        for (const auto px : out.rgb) ASSERT_EQ(px, 0x0075F3u) << w << " x " << h;
    }
    toolkit::Pixels p{2, 1, {0x123456, 0x654321}};
    EXPECT_EQ(toolkit::ResampleArea(p, 2, 1).rgb, p.rgb);
}

TEST(ResampleArea, LargePicturesAverageExactlyOnEitherSideOfTheThirtyTwoBitSums) {
    // A source's area decides the width of the sums: 2900 x 2898 is the largest kind that
    // fits 32 bits with its rounding, 4100 x 2100 needs 64. White stays white (a sum that
    // overflowed would not), and half black, half white is 127.5, rounded up.
    for (auto [w, h] : {std::pair{2900, 2898}, std::pair{4100, 2100}}) {
        EXPECT_EQ(toolkit::ResampleArea(Solid(w, h, 0xFFFFFF), 1, 1).At(0, 0), 0xFFFFFFu)
            << w << " x " << h;
        toolkit::Pixels halves = Solid(w, h, 0x000000);
        for (int y = 0; y < h; ++y)
            for (int x = w / 2; x < w; ++x) halves.rgb[static_cast<size_t>(y) * w + x] = 0xFFFFFF;
        const auto two = toolkit::ResampleArea(halves, 2, 1);
        EXPECT_EQ(two.At(0, 0), 0x000000u) << w << " x " << h;
        EXPECT_EQ(two.At(1, 0), 0xFFFFFFu) << w << " x " << h;
        EXPECT_EQ(toolkit::ResampleArea(halves, 1, 1).At(0, 0), 0x808080u) << w << " x " << h;
    }
}

TEST(ResampleTiles, ScalesEachTileOnItsOwn) {
    // Two 4 x 2 tiles, red and blue, into two 3 x 1 tiles: at a shared edge a whole-strip
    // resample would mix them (4 / 3 does not divide 8 / 6 evenly at the seam).
    toolkit::Pixels strip{8, 2, {}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x) strip.rgb.push_back(x < 4 ? 0xFF0000 : 0x0000FF);
    const auto out = toolkit::ResampleTiles(strip, 4, 2, 3, 1);
    ASSERT_EQ(out.width, 6);
    ASSERT_EQ(out.height, 1);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(out.At(x, 0), x < 3 ? 0xFF0000u : 0x0000FFu) << x;
}
