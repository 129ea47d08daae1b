// The stored skin files: plain 24-bit bitmaps of the right sizes showing what the windows
// rely on, and icon files with the images the program loads.
#include "tests/skin/bmp_file.h"
#include "tests/skin/skin_expectations.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace skintest;

namespace {

const std::string kResources = KORVALEN_RESOURCES_DIR;

Picture Load(const char* name) {
    const auto bytes = ReadFileBytes(kResources + "/skin/" + name);
    if (!bytes) {
        ADD_FAILURE() << "cannot read " << name;
        return {};
    }
    std::string error;
    auto p = ParseBmp24(*bytes, error);
    if (!p) {
        ADD_FAILURE() << name << ": " << error;
        return {};
    }
    return *p;
}

struct IcoImage {
    int width, height, bits;
    std::vector<std::uint32_t> argb;  // top row first
};

// The images of an .ico file stored as 32-bit DIBs (the only kind the generator writes).
std::vector<IcoImage> LoadIco(const char* name) {
    const auto bytes = ReadFileBytes(kResources + "/icons/" + name);
    std::vector<IcoImage> out;
    if (!bytes || bytes->size() < 6) {
        ADD_FAILURE() << "cannot read " << name;
        return out;
    }
    const auto& b = *bytes;
    auto u8 = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i]));
    };
    auto u16 = [&](std::size_t i) { return u8(i) | u8(i + 1) << 8; };
    auto u32 = [&](std::size_t i) { return u16(i) | u16(i + 2) << 16; };
    EXPECT_EQ(u16(0), 0u);
    EXPECT_EQ(u16(2), 1u) << "type 1: icon";
    const std::uint32_t count = u16(4);
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::size_t entry = 6 + 16 * k;
        const std::uint32_t size = u32(entry + 8), offset = u32(entry + 12);
        if (offset + size > b.size() || size < 40) {
            ADD_FAILURE() << name << ": image " << k << " lies outside the file";
            return out;
        }
        IcoImage img{static_cast<int>(u32(offset + 4)),
                     static_cast<int>(u32(offset + 8)) / 2,
                     static_cast<int>(u16(offset + 14)),
                     {}};
        EXPECT_EQ(u32(offset), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(u8(entry) == 0 ? 256 : static_cast<int>(u8(entry)), img.width)
            << "directory and image agree";
        if (img.bits != 32) {
            ADD_FAILURE() << name << ": image " << k << " has " << img.bits << " bits per pixel";
            return out;
        }
        const std::size_t mask = static_cast<std::size_t>((img.width + 31) / 32 * 4) * img.height;
        EXPECT_EQ(size, 40 + static_cast<std::size_t>(img.width) * img.height * 4 + mask);
        for (int y = img.height - 1; y >= 0; --y)  // rows bottom-up
            for (int x = 0; x < img.width; ++x)
                img.argb.push_back(
                    u32(offset + 40 + (static_cast<std::size_t>(y) * img.width + x) * 4));
        out.push_back(std::move(img));
    }
    return out;
}

}  // namespace

TEST(SkinFiles, BackgroundShowsFrameLinesCloseFaceAndContent) {
    ExpectBackground(Load("background.bmp"));
}

TEST(SkinFiles, CaptionStripsAreTheBackgroundWithTheirWordAdded) {
    const Picture background = Load("background.bmp");
    ASSERT_EQ(background.width, 595);
    {
        SCOPED_TRACE("status");
        ExpectCaptionStrip(Load("caption_status.bmp"), background, kStatusWordBox);
    }
    {
        SCOPED_TRACE("settings");
        ExpectCaptionStrip(Load("caption_settings.bmp"), background, kSettingsWordBox);
    }
}

TEST(SkinFiles, ButtonPlateHasOutlineWhiteCornersAndSeam) {
    ExpectButtonPlate(Load("button_plate.bmp"));
}

TEST(SkinFiles, TabPicturesHaveBordersWordsAndOpenSelectedSide) {
    ExpectTabStrip(Load("tabs.bmp"));
}

TEST(SkinFiles, MessageBackgroundHasBandsAndThePlate) {
    const Picture plate = Load("button_plate.bmp");
    ASSERT_EQ(plate.width, 86);
    ExpectMessageBackground(Load("message_background.bmp"), plate);
}

TEST(SkinFiles, ReaderRefusesWhatIsNotAPlain24BitBitmap) {
    std::string error;
    EXPECT_FALSE(ParseBmp24("", error));
    EXPECT_FALSE(ParseBmp24(std::string(60, 'B'), error));
    auto bytes = ReadFileBytes(kResources + "/skin/button_plate.bmp");
    ASSERT_TRUE(bytes);
    std::string palette = *bytes;
    palette[28] = 8;  // biBitCount
    EXPECT_FALSE(ParseBmp24(palette, error));
    EXPECT_NE(error.find("24 bits"), std::string::npos) << error;
    EXPECT_FALSE(ParseBmp24(bytes->substr(0, bytes->size() - 100), error)) << "cut short";
    EXPECT_TRUE(ParseBmp24(*bytes, error)) << error;
}

TEST(SkinFiles, TrayIconIsOne16PixelImageOfWhiteLettersOnBlue) {
    const auto images = LoadIco("korvalen_tray.ico");
    ASSERT_EQ(images.size(), 1u);
    const IcoImage& icon = images[0];
    ASSERT_EQ(icon.width, 16);
    ASSERT_EQ(icon.height, 16);
    int white = 0, blue = 0;
    for (std::uint32_t px : icon.argb) {
        if ((px >> 24) != 0xFF) continue;
        const std::uint32_t c = px & 0xFFFFFF;
        if (c == 0xFFFFFF)
            ++white;
        else if (Blue(c) > Red(c) + 100)
            ++blue;
    }
    EXPECT_GE(white, 40) << "the letters";
    EXPECT_GE(blue, 150) << "the blue ground";
}

TEST(SkinFiles, ApplicationIconHas64483216PixelImagesOnAPaleSquareInABlueFrame) {
    const auto images = LoadIco("korvalen.ico");
    ASSERT_EQ(images.size(), 4u);
    const int sizes[] = {64, 48, 32, 16};
    for (std::size_t k = 0; k < images.size(); ++k) {
        const IcoImage& icon = images[k];
        SCOPED_TRACE(icon.width);
        EXPECT_EQ(icon.width, sizes[k]);
        EXPECT_EQ(icon.height, sizes[k]);
        const int n = icon.width;
        auto at = [&](int x, int y) { return icon.argb[static_cast<std::size_t>(y) * n + x]; };
        // The frame is bright blue and opaque, the middle pale.
        for (auto [x, y] : {std::pair{n / 2, 0}, std::pair{0, n / 2}, std::pair{n - 1, n / 2},
                            std::pair{n / 2, n - 1}}) {
            const std::uint32_t frame = at(x, y);
            EXPECT_EQ(frame >> 24, 0xFFu);
            EXPECT_LE(ChannelDistance(frame & 0xFFFFFF, kFrameBlue), 50) << std::hex << frame;
        }
        const std::uint32_t pale = at(n / 8 + 1, n / 2);  // left of the name, above the plate
        EXPECT_GT(Luminance(pale), 190) << "pale square " << std::hex << pale;
        EXPECT_LT(at(0, 0) >> 24, 0x80u) << "rounded, transparent corner";
        int strongBlue = 0;
        for (std::uint32_t px : icon.argb)
            if ((px >> 24) == 0xFF && Blue(px) - Red(px) > 100) ++strongBlue;
        EXPECT_GT(strongBlue, n * n / 8) << "letters, frame and plate";
    }
}
