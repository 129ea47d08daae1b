// A picture as plain 0xRRGGBB pixels, whatever it was read from (a BMP file, or a bitmap
// loaded from the program's resources), so both can be held to the same checks.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace skintest {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row by row from the top, 0xRRGGBB

    [[nodiscard]] std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
    [[nodiscard]] Picture crop(int left, int top, int w, int h) const {
        Picture out{w, h, {}};
        out.pixels.reserve(static_cast<std::size_t>(w) * h);
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x) out.pixels.push_back(at(x, y));
        return out;
    }
};

[[nodiscard]] constexpr int Red(std::uint32_t c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
[[nodiscard]] constexpr int Green(std::uint32_t c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
[[nodiscard]] constexpr int Blue(std::uint32_t c) {
    return static_cast<int>(c & 0xFF);
}
[[nodiscard]] constexpr int Luminance(std::uint32_t c) {
    return (299 * Red(c) + 587 * Green(c) + 114 * Blue(c)) / 1000;
}
// The largest difference of one channel between two colours.
[[nodiscard]] inline int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int d = std::abs(Red(a) - Red(b));
    if (std::abs(Green(a) - Green(b)) > d) d = std::abs(Green(a) - Green(b));
    if (std::abs(Blue(a) - Blue(b)) > d) d = std::abs(Blue(a) - Blue(b));
    return d;
}

}  // namespace skintest
