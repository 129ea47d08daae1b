#include "toolkit/pixels.h"

namespace toolkit {

namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string EncodeBmp(const Pixels& pixels) {
    const auto width = static_cast<std::uint32_t>(pixels.width);
    const auto height = static_cast<std::uint32_t>(pixels.height);
    const std::uint32_t stride = (width * 3 + 3) & ~3u;  // rows pad to 4 bytes
    const std::uint32_t imageSize = stride * height;
    std::string out;
    out.reserve(54 + imageSize);
    out += "BM";
    PutLe(out, 54 + imageSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);  // where the pixels start
    PutLe(out, 40, 4);  // BITMAPINFOHEADER
    PutLe(out, width, 4);
    PutLe(out, height, 4);
    PutLe(out, 1, 2);   // planes
    PutLe(out, 24, 2);  // bits per pixel
    PutLe(out, 0, 4);   // BI_RGB
    PutLe(out, imageSize, 4);
    PutLe(out, 2835, 4);  // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (std::uint32_t row = height; row-- > 0;) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t p = pixels.rgb[row * width + x];
            out += static_cast<char>(p & 0xFF);
            out += static_cast<char>((p >> 8) & 0xFF);
            out += static_cast<char>((p >> 16) & 0xFF);
        }
        out.append(stride - width * 3, '\0');
    }
    return out;
}

}  // namespace toolkit
