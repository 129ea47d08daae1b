#include "toolkit/resample.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace toolkit {

namespace {

// One output pixel's share of the source: the source pixels first..first+weights.size()-1.
// The weights are whole numbers that sum to the source length: output pixel i covers
// [i * from, (i + 1) * from) in units of 1 / to of a source pixel, source pixel s covers
// [s * to, (s + 1) * to), and a weight is their overlap. Whole numbers keep every average
// exact and rounded once, and cost a fraction of floating point (a 144-DPI background in a
// few milliseconds).
struct Footprint {
    int first = 0;
    std::vector<std::uint32_t> weights;
};

std::vector<Footprint> Footprints(int from, int to) {
    std::vector<Footprint> out(static_cast<size_t>(to));
    for (int i = 0; i < to; ++i) {
        const long long a = static_cast<long long>(i) * from;
        const long long b = a + from;
        Footprint& f = out[static_cast<size_t>(i)];
        f.first = static_cast<int>(a / to);
        const int last = static_cast<int>((b - 1) / to);
        for (int s = f.first; s <= last; ++s) {
            const long long start = std::max<long long>(a, static_cast<long long>(s) * to);
            const long long end = std::min<long long>(b, static_cast<long long>(s + 1) * to);
            f.weights.push_back(static_cast<std::uint32_t>(end - start));
        }
    }
    return out;
}

// total / divisor rounded to the nearest whole number, halves up, as a channel.
std::uint32_t Channel(std::uint64_t total, std::uint64_t divisor) {
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(255, (2 * total + divisor) / (2 * divisor)));
}

}  // namespace

int ScaledLength(int length96, int dpi) noexcept {
    const long long scaled = static_cast<long long>(length96) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : -((-scaled + 47) / 96));
}

int ChooseStoredScale(std::span<const int> storedPercent, int dpi) noexcept {
    int exact = 0, larger = 0, largest = 0;
    for (const int s : storedPercent) {
        const long long have = static_cast<long long>(s) * 96;
        const long long want = static_cast<long long>(dpi) * 100;
        if (have == want) exact = s;
        if (have > want && (larger == 0 || s < larger)) larger = s;
        largest = std::max(largest, s);
    }
    return exact ? exact : larger ? larger : largest;
}

Pixels ResampleArea(const Pixels& source, int width, int height) {
    if (width == source.width && height == source.height) return source;
    Pixels out{width, height, std::vector<std::uint32_t>(static_cast<size_t>(width) * height)};
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0) return out;
    const auto across = Footprints(source.width, width);
    const auto down = Footprints(source.height, height);
    // Across first, into rows of the source's height: each channel a sum of weights times
    // values, at most 255 times the source's width (kMaxPngSide keeps that in 32 bits).
    std::vector<std::uint32_t> rows(static_cast<size_t>(width) * source.height * 3);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* in = &source.rgb[static_cast<size_t>(y) * source.width];
        std::uint32_t* r = &rows[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x, r += 3) {
            const Footprint& f = across[static_cast<size_t>(x)];
            std::uint32_t c0 = 0, c1 = 0, c2 = 0;
            for (size_t k = 0; k < f.weights.size(); ++k) {
                const std::uint32_t p = in[f.first + static_cast<int>(k)];
                const std::uint32_t w = f.weights[k];
                c0 += w * ((p >> 16) & 0xFF);
                c1 += w * ((p >> 8) & 0xFF);
                c2 += w * (p & 0xFF);
            }
            r[0] = c0;
            r[1] = c1;
            r[2] = c2;
        }
    }
    const std::uint64_t divisor =
        static_cast<std::uint64_t>(source.width) * static_cast<std::uint64_t>(source.height);
    for (int y = 0; y < height; ++y) {
        const Footprint& f = down[static_cast<size_t>(y)];
        std::uint32_t* o = &out.rgb[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x) {
            std::uint64_t c0 = 0, c1 = 0, c2 = 0;
            for (size_t k = 0; k < f.weights.size(); ++k) {
                const std::uint32_t* r =
                    &rows[(static_cast<size_t>(f.first + static_cast<int>(k)) * width + x) * 3];
                const std::uint64_t w = f.weights[k];
                c0 += w * r[0];
                c1 += w * r[1];
                c2 += w * r[2];
            }
            o[x] =
                (Channel(c0, divisor) << 16) | (Channel(c1, divisor) << 8) | Channel(c2, divisor);
        }
    }
    return out;
}

Pixels ResampleTiles(const Pixels& source, int tileWidth, int tileHeight, int outTileWidth,
                     int outTileHeight) {
    if (tileWidth <= 0 || tileHeight <= 0) return source;
    const int columns = source.width / tileWidth;
    const int rowsOfTiles = source.height / tileHeight;
    if (tileWidth == outTileWidth && tileHeight == outTileHeight &&
        source.width == columns * tileWidth && source.height == rowsOfTiles * tileHeight)
        return source;
    Pixels out{columns * outTileWidth, rowsOfTiles * outTileHeight, {}};
    out.rgb.resize(static_cast<size_t>(out.width) * out.height);
    for (int ty = 0; ty < rowsOfTiles; ++ty)
        for (int tx = 0; tx < columns; ++tx) {
            Pixels tile{tileWidth, tileHeight, {}};
            tile.rgb.reserve(static_cast<size_t>(tileWidth) * tileHeight);
            for (int y = 0; y < tileHeight; ++y)
                for (int x = 0; x < tileWidth; ++x)
                    tile.rgb.push_back(source.At(tx * tileWidth + x, ty * tileHeight + y));
            const Pixels scaled = ResampleArea(tile, outTileWidth, outTileHeight);
            for (int y = 0; y < outTileHeight; ++y)
                std::copy_n(&scaled.rgb[static_cast<size_t>(y) * outTileWidth], outTileWidth,
                            &out.rgb[static_cast<size_t>(ty * outTileHeight + y) * out.width +
                                     static_cast<size_t>(tx) * outTileWidth]);
        }
    return out;
}

}  // namespace toolkit
