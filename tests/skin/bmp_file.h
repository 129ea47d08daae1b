// A reader for the plain bitmap files the skin is stored in: BITMAPINFOHEADER, 24 bits
// per pixel, no compression. Anything else is refused, so a picture written in another
// format (a palette, a newer header) fails the tests instead of being read wrongly.
#pragma once

#include "tests/skin/picture.h"

#include <optional>
#include <string>

namespace skintest {

// The picture in a 24-bit BMP file's bytes, or nothing (with the reason in error) when the
// bytes are not such a file.
[[nodiscard]] std::optional<Picture> ParseBmp24(const std::string& bytes, std::string& error);

// The whole file, or nothing when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::string& path);

}  // namespace skintest
