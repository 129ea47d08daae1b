// A reader for the PNG files the skin and the application icon are stored in (libpng,
// in the tests only: the program decodes with its own decoder, checked against this one).
#pragma once

#include "tests/skin/picture.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace skintest {

struct PngImage {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;            // the file stores an alpha channel
    std::vector<std::uint32_t> argb;  // row by row from the top, 0xAARRGGBB
};

// The image in a PNG file's bytes, or nothing (with the reason in error).
[[nodiscard]] std::optional<PngImage> ParsePng(const std::string& bytes, std::string& error);

// The opaque picture a PNG file holds; nothing when it is no PNG or has an alpha channel.
[[nodiscard]] std::optional<Picture> ParseOpaquePng(const std::string& bytes, std::string& error);

// The whole file, or nothing when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::string& path);

}  // namespace skintest
