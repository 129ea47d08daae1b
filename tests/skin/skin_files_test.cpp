// The stored skin files: opaque PNG pictures of the right sizes at 100 % and 200 %
// showing what the windows rely on, and icon files with the images the program and the
// shell load.
#include "tests/skin/png_file.h"
#include "tests/skin/skin_expectations.h"
#include "toolkit/resample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using namespace skintest;

namespace {

const std::string kResources = KORVALEN_RESOURCES_DIR;

// Every picture's file name at 100 %; at 200 % the name has "_200" before ".png".
const char* const kPictureFiles[] = {"background",   "caption_status", "caption_settings",
                                     "button_plate", "tabs",           "message_background"};

Picture Load(const std::string& name) {
    const auto bytes = ReadFileBytes(kResources + "/skin/" + name);
    if (!bytes) {
        ADD_FAILURE() << "cannot read " << name;
        return {};
    }
    std::string error;
    auto p = ParseOpaquePng(*bytes, error);
    if (!p) {
        ADD_FAILURE() << name << ": " << error;
        return {};
    }
    return *p;
}

toolkit::Pixels AsPixels(const Picture& p) {
    return {p.width, p.height, p.pixels};
}

struct IcoImage {
    int width, height;
    bool png;                         // stored as a PNG file, not as a DIB
    std::vector<std::uint32_t> argb;  // top row first
};

// The images of an .ico file: 32-bit DIBs with an AND mask, or PNG files.
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
        const int listed = u8(entry) == 0 ? 256 : static_cast<int>(u8(entry));
        if (b.compare(offset, 4, "\x89PNG") == 0) {
            std::string error;
            const auto png = ParsePng(b.substr(offset, size), error);
            if (!png) {
                ADD_FAILURE() << name << ": image " << k << ": " << error;
                return out;
            }
            EXPECT_EQ(png->width, listed) << "directory and image agree";
            out.push_back({png->width, png->height, true, png->argb});
            continue;
        }
        IcoImage img{
            static_cast<int>(u32(offset + 4)), static_cast<int>(u32(offset + 8)) / 2, false, {}};
        EXPECT_EQ(u32(offset), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(listed, img.width) << "directory and image agree";
        if (u16(offset + 14) != 32) {
            ADD_FAILURE() << name << ": image " << k << " has " << u16(offset + 14)
                          << " bits per pixel";
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
    ExpectBackground(Load("background.png"));
}

TEST(SkinFiles, CaptionStripsAreTheBackgroundWithTheirWordAdded) {
    const Picture background = Load("background.png");
    ASSERT_EQ(background.width, 595);
    {
        SCOPED_TRACE("status");
        ExpectCaptionStrip(Load("caption_status.png"), background, kStatusWordBox);
    }
    {
        SCOPED_TRACE("settings");
        ExpectCaptionStrip(Load("caption_settings.png"), background, kSettingsWordBox);
    }
}

TEST(SkinFiles, ButtonPlateHasOutlineWhiteCornersAndSeam) {
    ExpectButtonPlate(Load("button_plate.png"));
}

TEST(SkinFiles, TabPicturesHaveBordersWordsAndOpenSelectedSide) {
    ExpectTabStrip(Load("tabs.png"));
}

TEST(SkinFiles, MessageBackgroundHasBandsAndThePlate) {
    const Picture plate = Load("button_plate.png");
    ASSERT_EQ(plate.width, 86);
    ExpectMessageBackground(Load("message_background.png"), plate);
}

TEST(SkinFiles, ReaderRefusesWhatIsNotAnOpaquePng) {
    std::string error;
    EXPECT_FALSE(ParseOpaquePng("", error));
    auto bytes = ReadFileBytes(kResources + "/skin/button_plate.png");
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(ParseOpaquePng(bytes->substr(0, bytes->size() / 2), error)) << "cut short";
    EXPECT_TRUE(ParseOpaquePng(*bytes, error)) << error;
    std::string notPng = *bytes;
    notPng[1] = 'Q';
    EXPECT_FALSE(ParseOpaquePng(notPng, error));
}

// The 200 % set is the same pictures at twice the size: exactly twice as wide and high,
// every flat area of the 100 % picture the very same colour there (frames, lines and
// faces stay exact), and averaged back down to 100 % close to the 100 % picture.
TEST(SkinFiles, EveryPictureAt200PercentIsThe100PercentPictureAtTwiceTheSize) {
    for (const char* name : kPictureFiles) {
        SCOPED_TRACE(name);
        const Picture one = Load(std::string(name) + ".png");
        const Picture two = Load(std::string(name) + "_200.png");
        ASSERT_EQ(two.width, 2 * one.width);
        ASSERT_EQ(two.height, 2 * one.height);
        int flat = 0, flatWrong = 0;
        for (int y = 1; y + 1 < one.height; ++y)
            for (int x = 1; x + 1 < one.width; ++x) {
                const std::uint32_t c = one.at(x, y);
                bool same = true;
                for (int dy = -1; dy <= 1 && same; ++dy)
                    for (int dx = -1; dx <= 1 && same; ++dx) same = one.at(x + dx, y + dy) == c;
                if (!same) continue;
                ++flat;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        if (ChannelDistance(two.at(2 * x + dx, 2 * y + dy), c) > 1) ++flatWrong;
            }
        // The plate changes colour row by row: no flat place, only the average holds it.
        if (std::string(name) != "button_plate") EXPECT_GT(flat, 0);
        EXPECT_EQ(flatWrong, 0) << "of " << flat << " flat places";
        const toolkit::Pixels down = toolkit::ResampleArea(AsPixels(two), one.width, one.height);
        long total = 0;
        for (int y = 0; y < one.height; ++y)
            for (int x = 0; x < one.width; ++x)
                total += ChannelDistance(down.At(x, y), one.at(x, y));
        EXPECT_LE(static_cast<double>(total) / (one.width * one.height), 4.0)
            << "mean largest-channel difference";
    }
}

// Five sizes for the tray's small icon at 100 % to 300 %, stored as plain images (the
// program loads one at start-up, and a plain image needs no decoder) but for the 48 px one
// (300 % only), each drawn for its size: every pixel fully opaque or fully transparent,
// the letters pure white, the ground blue, nothing in between that smoothing would leave.
TEST(SkinFiles, TrayIconHasCrispImagesOfWhiteLettersOnBlueAtEverySmallIconSize) {
    const auto images = LoadIco("korvalen_tray.ico");
    const int sizes[] = {48, 32, 24, 20, 16};
    ASSERT_EQ(images.size(), std::size(sizes));
    for (std::size_t k = 0; k < images.size(); ++k) {
        const IcoImage& icon = images[k];
        const int n = sizes[k];
        SCOPED_TRACE(n);
        EXPECT_EQ(icon.png, n == 48);
        ASSERT_EQ(icon.width, n);
        ASSERT_EQ(icon.height, n);
        int white = 0, blue = 0, other = 0;
        for (std::uint32_t px : icon.argb) {
            const std::uint32_t alpha = px >> 24;
            EXPECT_TRUE(alpha == 0 || alpha == 0xFF) << std::hex << px;
            if (alpha != 0xFF) continue;
            const std::uint32_t c = px & 0xFFFFFF;
            if (c == 0xFFFFFF)
                ++white;
            else if (Blue(c) > Red(c) + 100)
                ++blue;
            else
                ++other;
        }
        // At 16 px: 48 letter pixels, some 190 of ground.
        EXPECT_GE(white, 40 * n * n / 256) << "the letters";
        EXPECT_GE(blue, 150 * n * n / 256) << "the blue ground";
        EXPECT_EQ(other, 0) << "no smoothed pixels";
    }
}

// Only the shell shows it: its images are stored compressed.
TEST(SkinFiles, ApplicationIconHasSixSizesOnAPaleSquareInABlueFrame) {
    const auto images = LoadIco("korvalen.ico");
    const int sizes[] = {64, 48, 32, 24, 20, 16};
    ASSERT_EQ(images.size(), std::size(sizes));
    for (std::size_t k = 0; k < images.size(); ++k) {
        const IcoImage& icon = images[k];
        SCOPED_TRACE(icon.width);
        EXPECT_TRUE(icon.png);
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
