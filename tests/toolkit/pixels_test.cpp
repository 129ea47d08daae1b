#include "toolkit/pixels.h"

#include <gtest/gtest.h>

TEST(EncodeBmp, WritesA24BitBottomUpFileWithPaddedRows) {
    toolkit::Pixels p;
    p.width = 2;
    p.height = 2;
    p.rgb = {0x112233, 0x445566,   // top row
             0xAABBCC, 0xDDEEFF};  // bottom row
    const std::string bmp = toolkit::EncodeBmp(p);
    ASSERT_EQ(bmp.size(), 54u + 2 * 8);  // 6 bytes a row, padded to 8
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    auto byte = [&](size_t i) { return static_cast<unsigned char>(bmp[i]); };
    EXPECT_EQ(byte(2), 54 + 16);
    EXPECT_EQ(byte(10), 54);
    EXPECT_EQ(byte(18), 2);   // width
    EXPECT_EQ(byte(22), 2);   // height, positive: bottom-up
    EXPECT_EQ(byte(28), 24);  // bits per pixel
    // First stored row is the bottom one, blue-green-red per pixel.
    EXPECT_EQ(byte(54), 0xCC);
    EXPECT_EQ(byte(55), 0xBB);
    EXPECT_EQ(byte(56), 0xAA);
    EXPECT_EQ(byte(57), 0xFF);
    EXPECT_EQ(byte(60), 0);  // padding
    EXPECT_EQ(byte(62), 0x33);
    EXPECT_EQ(byte(65), 0x66);
}
