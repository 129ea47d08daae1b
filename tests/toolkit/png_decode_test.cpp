#include "toolkit/png_decode.h"

#include "tests/skin/png_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using toolkit::DecodePngBytes;
using toolkit::Pixels;
using toolkit::PngResult;
using Bytes = std::vector<std::uint8_t>;

struct Chunk {
    std::string type;
    Bytes data;
};

void PutBig32(Bytes& to, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        to.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A PNG file of these chunks, their CRCs from the reference implementation.
Bytes BuildPng(const std::vector<Chunk>& chunks) {
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Chunk& c : chunks) {
        PutBig32(file, static_cast<std::uint32_t>(c.data.size()));
        const std::size_t typeAt = file.size();
        file.insert(file.end(), c.type.begin(), c.type.end());
        file.insert(file.end(), c.data.begin(), c.data.end());
        PutBig32(file, static_cast<std::uint32_t>(crc32(0, file.data() + typeAt,
                                                        static_cast<uInt>(file.size() - typeAt))));
    }
    return file;
}

Bytes Ihdr(std::uint32_t width, std::uint32_t height, int depth, int colourType,
           int interlace = 0) {
    Bytes d;
    PutBig32(d, width);
    PutBig32(d, height);
    for (int v : {depth, colourType, 0, 0, interlace}) d.push_back(static_cast<std::uint8_t>(v));
    return d;
}

// The rows of samples filtered as an encoder would, row y with filter y % 5 (all five).
Bytes FilterRows(const Bytes& samples, std::size_t rowBytes, std::size_t pixelBytes) {
    Bytes out;
    const std::size_t height = samples.size() / rowBytes;
    for (std::size_t y = 0; y < height; ++y) {
        const int filter = static_cast<int>(y % 5);
        out.push_back(static_cast<std::uint8_t>(filter));
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const std::size_t at = y * rowBytes + i;
            const int a = i >= pixelBytes ? samples[at - pixelBytes] : 0;
            const int b = y > 0 ? samples[at - rowBytes] : 0;
            const int c = i >= pixelBytes && y > 0 ? samples[at - rowBytes - pixelBytes] : 0;
            const int p = a + b - c;
            const int paeth =
                std::abs(p - a) <= std::abs(p - b) && std::abs(p - a) <= std::abs(p - c) ? a
                : std::abs(p - b) <= std::abs(p - c)                                     ? b
                                                                                         : c;
            const int predicted[5] = {0, a, b, (a + b) / 2, paeth};
            out.push_back(static_cast<std::uint8_t>(samples[at] - predicted[filter]));
        }
    }
    return out;
}

Bytes Compress(const Bytes& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

// The compressed rows split into three IDAT chunks.
std::vector<Chunk> DataChunks(const Bytes& filteredRows) {
    const Bytes z = Compress(filteredRows);
    const std::size_t third = z.size() / 3;
    return {{"IDAT", Bytes(z.begin(), z.begin() + third)},
            {"IDAT", Bytes(z.begin() + third, z.begin() + 2 * third)},
            {"IDAT", Bytes(z.begin() + 2 * third, z.end())}};
}

Bytes RandomBytes(std::size_t n, std::uint32_t seed) {
    Bytes out(n);
    for (auto& b : out) b = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    return out;
}

// A picture of random samples in this colour type, the colours expected of it alongside.
struct Made {
    Bytes file;
    std::vector<std::uint32_t> rgb;
};
Made MakePicture(std::uint32_t width, std::uint32_t height, int colourType) {
    const int channels[] = {1, 0, 3, 1, 2, 0, 4};
    const auto pixelBytes = static_cast<std::size_t>(channels[colourType]);
    const Bytes samples = RandomBytes(width * height * pixelBytes, width * 31 + colourType);
    Made m;
    std::vector<Chunk> chunks = {{"IHDR", Ihdr(width, height, 8, colourType)},
                                 {"tEXt", {'a', 0, 'b'}}};  // ancillary: passed over
    Bytes palette;
    if (colourType == 3) {
        palette = RandomBytes(256 * 3, 7);
        chunks.push_back({"PLTE", palette});
    }
    for (std::size_t i = 0; i < samples.size(); i += pixelBytes) {
        const std::uint8_t* s = &samples[i];
        if (colourType == 3) s = &palette[s[0] * 3u];
        m.rgb.push_back(pixelBytes >= 3 || colourType == 3
                            ? std::uint32_t{s[0]} << 16 | std::uint32_t{s[1]} << 8 | s[2]
                            : s[0] * 0x010101u);
    }
    for (Chunk& c : DataChunks(FilterRows(samples, width * pixelBytes, pixelBytes))) {
        chunks.push_back(std::move(c));
    }
    chunks.push_back({"IEND", {}});
    m.file = BuildPng(chunks);
    return m;
}

// What the reference decoder makes of the file, alpha dropped.
std::vector<std::uint32_t> ReferenceColours(const Bytes& file, int& width, int& height) {
    std::string error;
    auto png = skintest::ParsePng(std::string(file.begin(), file.end()), error);
    EXPECT_TRUE(png) << error;
    if (!png) return {};
    width = png->width;
    height = png->height;
    for (auto& p : png->argb) p &= 0xFFFFFF;
    return png->argb;
}

TEST(PngDecode, EveryStoredPictureMatchesTheReferenceDecoder) {
    int count = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(KORVALEN_RESOURCES_DIR) + "/skin")) {
        if (entry.path().extension() != ".png") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const auto text = skintest::ReadFileBytes(entry.path().string());
        ASSERT_TRUE(text);
        const Bytes file(text->begin(), text->end());
        Pixels pixels;
        ASSERT_EQ(DecodePngBytes(file, pixels), PngResult::Ok);
        int width = 0, height = 0;
        const auto expected = ReferenceColours(file, width, height);
        EXPECT_EQ(pixels.width, width);
        EXPECT_EQ(pixels.height, height);
        EXPECT_TRUE(pixels.rgb == expected);
        ++count;
    }
    EXPECT_GE(count, 12);
}

// Also one pixel wide, where an RGB row and its filter byte take exactly the 4 bytes of
// its pixel: the rows are inflated into the pixels' own memory.
TEST(PngDecode, EveryColourTypeAndFilter) {
    for (const auto& [w, h] : {std::pair{37u, 23u}, std::pair{1u, 9u}, std::pair{9u, 1u}}) {
        for (int colourType : {0, 2, 3, 4, 6}) {
            SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + ", colour type " +
                         std::to_string(colourType));
            const Made m = MakePicture(w, h, colourType);
            Pixels pixels;
            ASSERT_EQ(DecodePngBytes(m.file, pixels), PngResult::Ok);
            EXPECT_EQ(pixels.width, static_cast<int>(w));
            EXPECT_EQ(pixels.height, static_cast<int>(h));
            EXPECT_TRUE(pixels.rgb == m.rgb);
            int width = 0, height = 0;
            EXPECT_TRUE(ReferenceColours(m.file, width, height) == m.rgb);
        }
    }
}

TEST(PngDecode, RefusesEveryTruncation) {
    const auto text =
        skintest::ReadFileBytes(std::string(KORVALEN_RESOURCES_DIR) + "/skin/button_plate.png");
    ASSERT_TRUE(text);
    const Bytes file(text->begin(), text->end());
    for (std::size_t length = 0; length < file.size(); ++length) {
        SCOPED_TRACE(length);
        Pixels pixels;
        ASSERT_EQ(DecodePngBytes(std::span(file).first(length), pixels),
                  length < 8 ? PngResult::NotPng : PngResult::Truncated);
        EXPECT_TRUE(pixels.rgb.empty());
        EXPECT_EQ(pixels.width, 0);
    }
}

// Decodes a file of these chunks, the picture's data made of these filtered rows.
PngResult DecodeChunks(std::vector<Chunk> chunks) {
    Pixels pixels;
    const PngResult result = DecodePngBytes(BuildPng(chunks), pixels);
    EXPECT_EQ(pixels.rgb.empty(), result != PngResult::Ok);
    return result;
}

TEST(PngDecode, RefusesHeadersItCannotOrMayNotDecode) {
    const Bytes rows = {0, 1, 2, 3};  // one RGB pixel
    const auto withHeader = [&](Bytes ihdr) {
        return DecodeChunks({{"IHDR", std::move(ihdr)}, {"IDAT", Compress(rows)}, {"IEND", {}}});
    };
    EXPECT_EQ(withHeader(Ihdr(1, 1, 8, 2)), PngResult::Ok);
    EXPECT_EQ(withHeader(Ihdr(0, 1, 8, 2)), PngResult::BadHeader);
    EXPECT_EQ(withHeader(Ihdr(1, 0x80000000u, 8, 2)), PngResult::BadHeader);
    EXPECT_EQ(withHeader(Ihdr(1, 1, 8, 5)), PngResult::BadHeader);
    EXPECT_EQ(withHeader(Ihdr(1, 1, 7, 2)), PngResult::BadHeader);
    EXPECT_EQ(withHeader(Ihdr(1, 1, 16, 2)), PngResult::Unsupported);
    EXPECT_EQ(withHeader(Ihdr(1, 1, 4, 3)), PngResult::Unsupported);
    EXPECT_EQ(withHeader(Ihdr(1, 1, 8, 2, 1)), PngResult::Unsupported);  // interlaced
    EXPECT_EQ(withHeader(Ihdr(16385, 1, 8, 2)), PngResult::TooLarge);
    EXPECT_EQ(withHeader(Ihdr(16384, 16384, 8, 2)), PngResult::TooLarge);
    EXPECT_EQ(withHeader(Ihdr(1, 2, 8, 2)), PngResult::BadData);  // data for one row only
    Bytes shortHeader = Ihdr(1, 1, 8, 2);
    shortHeader.pop_back();
    EXPECT_EQ(withHeader(shortHeader), PngResult::BadChunk);

    // A header damaged after its CRC was taken.
    Bytes file = BuildPng({{"IHDR", Ihdr(1, 1, 8, 2)}, {"IDAT", Compress(rows)}, {"IEND", {}}});
    file[16 + 3] = 2;  // width 2
    Pixels pixels;
    EXPECT_EQ(DecodePngBytes(file, pixels), PngResult::BadChunk);
}

TEST(PngDecode, RefusesChunksOutOfOrder) {
    const Chunk header{"IHDR", Ihdr(1, 1, 8, 3)};
    const Chunk palette{"PLTE", {1, 2, 3}};
    const Chunk data{"IDAT", Compress({0, 0})};
    const Chunk end{"IEND", {}};
    EXPECT_EQ(DecodeChunks({header, palette, data, end}), PngResult::Ok);
    EXPECT_EQ(DecodeChunks({palette, header, data, end}), PngResult::BadChunk);
    EXPECT_EQ(DecodeChunks({header, header, palette, data, end}), PngResult::BadChunk);
    EXPECT_EQ(DecodeChunks({header, data, palette, end}), PngResult::BadChunk);
    EXPECT_EQ(DecodeChunks({header, {"IDAT", {}}, palette, data, end}), PngResult::BadChunk);
    EXPECT_EQ(DecodeChunks({header, data, end}), PngResult::MissingPalette);
    EXPECT_EQ(DecodeChunks({header, palette, {"PLTE", {1, 2}}, data, end}), PngResult::BadChunk);
    EXPECT_EQ(
        DecodeChunks({header, palette, {"IDAT", {0x78}}, {"tIME", {}}, {"IDAT", {0x01}}, end}),
        PngResult::BadChunk);  // the data chunks must follow each other
    EXPECT_EQ(DecodeChunks({header, palette, {"ZZZZ", {}}, data, end}), PngResult::Unsupported);
    EXPECT_EQ(DecodeChunks({header, palette, data}), PngResult::Truncated);
}

TEST(PngDecode, RefusesDamagedPixelData) {
    const Chunk header{"IHDR", Ihdr(2, 1, 8, 3)};
    const Chunk palette{"PLTE", {1, 2, 3, 4, 5, 6}};  // entries 0 and 1
    const Chunk end{"IEND", {}};
    const auto withData = [&](Bytes z) {
        return DecodeChunks({header, palette, {"IDAT", z}, end});
    };
    EXPECT_EQ(withData(Compress({0, 1, 0})), PngResult::Ok);
    EXPECT_EQ(withData(Compress({0, 1, 2})), PngResult::BadPaletteIndex);
    EXPECT_EQ(withData(Compress({5, 1, 0})), PngResult::BadFilter);
    EXPECT_EQ(withData(Compress({0, 1, 0, 0})), PngResult::BadData);  // a byte too many
    Bytes badAdler = Compress({0, 1, 0});
    badAdler.back() ^= 0x80;
    EXPECT_EQ(withData(badAdler), PngResult::BadData);
    Bytes badHeader = Compress({0, 1, 0});
    badHeader[0] = 0x79;
    EXPECT_EQ(withData(badHeader), PngResult::BadData);
    // A fixed-code block: literal 0, then a copy of three bytes from two back.
    EXPECT_EQ(withData({0x78, 0x01, 0x63, 0x00, 0x42, 0x00, 0x00, 0x00, 0x00, 0x01}),
              PngResult::BadData);
}

TEST(PngDecode, CrcMatchesTheReference) {
    const Bytes data = RandomBytes(1000, 3);
    EXPECT_EQ(toolkit::PngCrc32(data), crc32(0, data.data(), static_cast<uInt>(data.size())));
}

}  // namespace
