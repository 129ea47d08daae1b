// A rendered picture as plain pixels, and its BMP file form. Win32-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace toolkit {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;  // 0xRRGGBB, row after row from the top

    [[nodiscard]] std::uint32_t At(int x, int y) const {
        return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// The pixels as a 24-bit bottom-up BMP file (for screenshots).
[[nodiscard]] std::string EncodeBmp(const Pixels& pixels);

}  // namespace toolkit
