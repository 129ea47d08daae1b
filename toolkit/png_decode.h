// A decoder for the PNG pictures the program stores: 8 bits a sample, grey, grey with
// alpha, RGB, RGBA or palette, not interlaced. Alpha is dropped: the colour is given as
// stored. Win32-free and needs no system imaging component; every input, however damaged,
// ends in a result code without reading or writing out of bounds.
#pragma once

#include "toolkit/pixels.h"

#include <cstdint>
#include <span>

namespace toolkit {

enum class PngResult {
    Ok,
    NotPng,           // no PNG signature
    Truncated,        // the file ends before its IEND chunk
    BadChunk,         // a chunk out of order, repeated, of the wrong size, or failing its CRC
    BadHeader,        // IHDR values no PNG may have
    Unsupported,      // valid but not decoded here: interlaced, depths other than 8, ...
    TooLarge,         // over kMaxPngSide on a side or kMaxPngPixels in all
    MissingPalette,   // a palette picture without PLTE before its data
    BadPaletteIndex,  // a pixel names an entry past the palette's end
    BadData,          // the compressed data fail to decompress, or give the wrong size
    BadFilter,        // a row names no known filter
};

inline constexpr std::uint32_t kMaxPngSide = 16384;
// 64 Mi pixels (256 MiB as Pixels) keeps every size computation well within 32 bits.
inline constexpr std::uint32_t kMaxPngPixels = std::uint32_t{1} << 26;

// The CRC-32 that PNG chunks carry (over type and data).
[[nodiscard]] std::uint32_t PngCrc32(std::span<const std::uint8_t> bytes) noexcept;

// Decodes a PNG file's bytes into out as 0x00RRGGBB; out is left empty on failure.
[[nodiscard]] PngResult DecodePngBytes(std::span<const std::uint8_t> file, Pixels& out);

}  // namespace toolkit
