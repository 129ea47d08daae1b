#include "tests/skin/png_file.h"

#include <png.h>

#include <fstream>
#include <iterator>

namespace skintest {

std::optional<PngImage> ParsePng(const std::string& bytes, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error = image.message;
        return std::nullopt;
    }
    PngImage out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_BGRA;  // as bytes, little-endian 0xAARRGGBB words
    out.argb.resize(static_cast<size_t>(out.width) * out.height);
    if (!png_image_finish_read(&image, nullptr, out.argb.data(), 0, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return std::nullopt;
    }
    return out;
}

std::optional<Picture> ParseOpaquePng(const std::string& bytes, std::string& error) {
    auto png = ParsePng(bytes, error);
    if (!png) return std::nullopt;
    if (png->hasAlpha) {
        error = "the picture has an alpha channel";
        return std::nullopt;
    }
    Picture p{png->width, png->height, std::move(png->argb)};
    for (auto& px : p.pixels) px &= 0xFFFFFF;
    return p;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace skintest
