#include "tests/skin/bmp_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace skintest {

namespace {

std::uint32_t U32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t U16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

}  // namespace

std::optional<Picture> ParseBmp24(const std::string& bytes, std::string& error) {
    constexpr std::size_t kFileHeader = 14;
    if (bytes.size() < kFileHeader + 40 || bytes[0] != 'B' || bytes[1] != 'M') {
        error = "not a BMP file";
        return std::nullopt;
    }
    const std::uint32_t dataOffset = U32(bytes, 10);
    const std::uint32_t headerSize = U32(bytes, 14);
    const auto width = static_cast<std::int32_t>(U32(bytes, 18));
    const auto height = static_cast<std::int32_t>(U32(bytes, 22));
    if (headerSize != 40) {
        error = "header is not BITMAPINFOHEADER (size " + std::to_string(headerSize) + ")";
        return std::nullopt;
    }
    if (U16(bytes, 26) != 1 || U16(bytes, 28) != 24 || U32(bytes, 30) != 0) {
        error = "not 24 bits per pixel without compression";
        return std::nullopt;
    }
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        error = "unexpected size or top-down rows";
        return std::nullopt;
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (dataOffset < kFileHeader + headerSize || bytes.size() < dataOffset + stride * height) {
        error = "pixel data is cut short";
        return std::nullopt;
    }
    Picture p{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        const std::size_t row =
            dataOffset + stride * static_cast<std::size_t>(height - 1 - y);  // bottom-up
        for (int x = 0; x < width; ++x) {
            const auto* px = reinterpret_cast<const unsigned char*>(bytes.data() + row + 3 * x);
            p.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint32_t>(px[2]) << 16 | static_cast<std::uint32_t>(px[1]) << 8 |
                px[0];
        }
    }
    return p;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace skintest
