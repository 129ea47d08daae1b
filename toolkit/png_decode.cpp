#include "toolkit/png_decode.h"

#include "toolkit/inflate.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

namespace toolkit {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t ReadBig32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

constexpr std::uint32_t ChunkType(const char (&name)[5]) {
    return std::uint32_t{static_cast<std::uint8_t>(name[0])} << 24 |
           std::uint32_t{static_cast<std::uint8_t>(name[1])} << 16 |
           std::uint32_t{static_cast<std::uint8_t>(name[2])} << 8 |
           std::uint32_t{static_cast<std::uint8_t>(name[3])};
}

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = 0;
    int channels = 0;  // bytes a pixel, at 8 bits a sample
};

PngResult ReadHeader(std::span<const std::uint8_t> data, Header& header) {
    if (data.size() != 13) return PngResult::BadChunk;
    header.width = ReadBig32(data.data());
    header.height = ReadBig32(data.data() + 4);
    const int depth = data[8];
    header.colourType = data[9];
    if (header.width == 0 || header.height == 0 || header.width > 0x7FFFFFFFu ||
        header.height > 0x7FFFFFFFu || data[10] != 0 || data[11] != 0 || data[12] > 1) {
        return PngResult::BadHeader;
    }
    switch (header.colourType) {
        case 0: header.channels = 1; break;
        case 2: header.channels = 3; break;
        case 3: header.channels = 1; break;
        case 4: header.channels = 2; break;
        case 6: header.channels = 4; break;
        default: return PngResult::BadHeader;
    }
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) {
        return PngResult::BadHeader;
    }
    if (depth != 8 || data[12] != 0) return PngResult::Unsupported;
    if (header.width > kMaxPngSide || header.height > kMaxPngSide ||
        header.width * header.height > kMaxPngPixels) {
        return PngResult::TooLarge;
    }
    return PngResult::Ok;
}

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Undoes one row's filter: from its filtered bytes (those after the filter byte) into row,
// with above the row before it, unfiltered (zeros for the first). a, b and c are the byte a
// pixel to the left, the one above and the one above-left.
PngResult UnfilterRow(int filter, const std::uint8_t* filtered, std::uint8_t* row,
                      const std::uint8_t* above, std::size_t rowBytes, std::size_t pixelBytes) {
    if (filter > 4) return PngResult::BadFilter;
    for (std::size_t i = 0; i < rowBytes; ++i) {
        const int a = i >= pixelBytes ? row[i - pixelBytes] : 0;
        const int b = above[i];
        const int c = i >= pixelBytes ? above[i - pixelBytes] : 0;
        int predicted = 0;
        switch (filter) {
            case 1: predicted = a; break;
            case 2: predicted = b; break;
            case 3: predicted = (a + b) / 2; break;
            case 4: predicted = Paeth(a, b, c); break;
            default: break;
        }
        row[i] = static_cast<std::uint8_t>(filtered[i] + predicted);
    }
    return PngResult::Ok;
}

// One unfiltered row as pixels (0x00RRGGBB).
PngResult RowToPixels(const std::uint8_t* p, const Header& header,
                      std::span<const std::uint32_t> palette, std::uint32_t* to) {
    for (std::size_t x = 0; x < header.width; ++x, p += header.channels) {
        switch (header.colourType) {
            case 0:
            case 4: to[x] = p[0] * 0x010101u; break;
            case 3:
                if (std::size_t{p[0]} >= palette.size()) return PngResult::BadPaletteIndex;
                to[x] = palette[p[0]];
                break;
            default: to[x] = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        }
    }
    return PngResult::Ok;
}

PngResult Decode(std::span<const std::uint8_t> file, Pixels& out) {
    if (file.size() < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
        return PngResult::NotPng;
    }
    constexpr std::uint32_t kIhdr = ChunkType("IHDR"), kPlte = ChunkType("PLTE"),
                            kIdat = ChunkType("IDAT"), kIend = ChunkType("IEND");
    Header header;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> compressed;
    std::uint32_t previousType = 0;
    bool idatEnded = false;  // the data chunks must follow each other
    std::size_t at = kSignature.size();
    for (;;) {
        if (file.size() - at < 12) return PngResult::Truncated;
        const std::uint32_t length = ReadBig32(&file[at]);
        const std::uint32_t type = ReadBig32(&file[at + 4]);
        if (length > 0x7FFFFFFFu) return PngResult::BadChunk;
        if (length > file.size() - at - 12) return PngResult::Truncated;
        const auto typeAndData = file.subspan(at + 4, std::size_t{length} + 4);
        const auto data = typeAndData.subspan(4);
        if (PngCrc32(typeAndData) != ReadBig32(&file[at + 8 + length])) return PngResult::BadChunk;
        at += std::size_t{length} + 12;

        if ((previousType == 0) != (type == kIhdr)) return PngResult::BadChunk;  // first, once
        if (previousType == kIdat && type != kIdat) idatEnded = true;
        previousType = type;
        if (type == kIhdr) {
            const PngResult result = ReadHeader(data, header);
            if (result != PngResult::Ok) return result;
        } else if (type == kPlte) {
            if (!palette.empty() || idatEnded) return PngResult::BadChunk;  // one, before the data
            if (length == 0 || length % 3 != 0 || length > 256 * 3) return PngResult::BadChunk;
            for (std::size_t i = 0; i < length; i += 3) {
                palette.push_back(std::uint32_t{data[i]} << 16 | std::uint32_t{data[i + 1]} << 8 |
                                  data[i + 2]);
            }
        } else if (type == kIdat) {
            if (idatEnded) return PngResult::BadChunk;
            compressed.insert(compressed.end(), data.begin(), data.end());
        } else if (type == kIend) {
            break;
        } else if ((type & 0x20000000u) == 0) {
            return PngResult::Unsupported;  // a critical chunk we do not know
        }
    }
    if (header.colourType == 3 && palette.empty()) return PngResult::MissingPalette;

    const std::size_t width = header.width;
    const std::size_t rowBytes = width * static_cast<size_t>(header.channels);
    const std::size_t stride = rowBytes + 1;  // a filter byte, then the row
    const std::size_t expected = stride * header.height;
    // Deflate expands at most 1032 to 1: data too short to fill the picture are refused
    // before anything as large as the picture is allocated.
    if (compressed.size() < expected / 1032) return PngResult::BadData;
    std::vector<std::uint32_t> rgb(width * header.height);
    // Fresh memory is dear (each page touched costs more than decoding it), so the filtered
    // rows are inflated into the end of the pixels' own memory and turned into pixels from
    // the top: at most 3 bytes a pixel and a filter byte a row, they stay ahead of the
    // 4-byte pixels written. Only RGBA rows, larger than their pixels, get a buffer of
    // their own.
    const std::span<std::uint8_t> pixelBytes(reinterpret_cast<std::uint8_t*>(rgb.data()),
                                             rgb.size() * sizeof(std::uint32_t));
    std::vector<std::uint8_t> separate;
    std::span<std::uint8_t> filtered;
    if (expected <= pixelBytes.size()) {
        filtered = pixelBytes.last(expected);
    } else {
        separate.resize(expected);
        filtered = separate;
    }
    std::size_t written = 0;
    if (Inflate(compressed, filtered, written) != InflateResult::Ok || written != expected) {
        return PngResult::BadData;
    }
    // Each row is unfiltered into a row of its own before its pixels are written over it.
    std::vector<std::uint8_t> above(rowBytes, 0), row(rowBytes);
    for (std::size_t y = 0; y < header.height; ++y) {
        const std::uint8_t* in = filtered.data() + y * stride;
        PngResult result = UnfilterRow(in[0], in + 1, row.data(), above.data(), rowBytes,
                                       static_cast<std::size_t>(header.channels));
        if (result == PngResult::Ok)
            result = RowToPixels(row.data(), header, palette, rgb.data() + y * width);
        if (result != PngResult::Ok) return result;
        std::swap(above, row);
    }
    out.width = static_cast<int>(header.width);
    out.height = static_cast<int>(header.height);
    out.rgb = std::move(rgb);
    return PngResult::Ok;
}

}  // namespace

std::uint32_t PngCrc32(std::span<const std::uint8_t> bytes) noexcept {
    std::uint32_t c = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) c = kCrcTable[(c ^ byte) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

PngResult DecodePngBytes(std::span<const std::uint8_t> file, Pixels& out) {
    out = Pixels{};
    return Decode(file, out);
}

}  // namespace toolkit
