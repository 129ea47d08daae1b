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

// One row across: each output pixel's channels as sums of weights times values, at most
// 255 times the source's width (kMaxPngSide keeps that well within 32 bits).
void Across(const std::uint32_t* in, const std::vector<Footprint>& across, std::uint32_t* r) {
    for (const Footprint& f : across) {
        std::uint32_t c0 = 0, c1 = 0, c2 = 0;
        for (size_t k = 0; k < f.weights.size(); ++k) {
            const std::uint32_t p = in[f.first + static_cast<int>(k)];
            const std::uint32_t w = f.weights[k];
            c0 += w * ((p >> 16) & 0xFF);
            c1 += w * ((p >> 8) & 0xFF);
            c2 += w * (p & 0xFF);
        }
        *r++ = c0;
        *r++ = c1;
        *r++ = c2;
    }
}

// The rows of out, summed in Sum: each output channel is a sum of weights times values of
// at most 255 times the source's area, its divisor.
template <typename Sum>
void ResampleRows(const Pixels& source, const std::vector<Footprint>& across,
                  const std::vector<Footprint>& down, Pixels& out) {
    // One source row at a time across, weighted into the output row it falls in. A row
    // shared by two output rows is worked out again rather than every row kept: fresh
    // memory is dear here (a 144-DPI background's rows took 5 MB, and touching them cost
    // more than the arithmetic).
    const auto rowValues = static_cast<size_t>(out.width) * 3;
    std::vector<std::uint32_t> acrossRow(rowValues);
    std::vector<Sum> sums(rowValues);
    int rowDone = -1;  // the source row acrossRow holds
    const Sum divisor = static_cast<Sum>(source.width) * static_cast<Sum>(source.height);
    // A channel: its sum over the divisor, rounded to the nearest whole number, halves up.
    const auto channel = [twice = 2 * divisor, divisor](Sum total) {
        return static_cast<std::uint32_t>(std::min<Sum>(255, (2 * total + divisor) / twice));
    };
    for (int y = 0; y < out.height; ++y) {
        const Footprint& f = down[static_cast<size_t>(y)];
        std::fill(sums.begin(), sums.end(), Sum{0});
        for (size_t k = 0; k < f.weights.size(); ++k) {
            const int sourceRow = f.first + static_cast<int>(k);
            if (sourceRow != rowDone) {
                Across(&source.rgb[static_cast<size_t>(sourceRow) * source.width], across,
                       acrossRow.data());
                rowDone = sourceRow;
            }
            const Sum w = f.weights[k];
            for (size_t i = 0; i < rowValues; ++i) sums[i] += w * acrossRow[i];
        }
        std::uint32_t* o = &out.rgb[static_cast<size_t>(y) * out.width];
        for (int x = 0; x < out.width; ++x) {
            const Sum* c = &sums[static_cast<size_t>(x) * 3];
            o[x] = (channel(c[0]) << 16) | (channel(c[1]) << 8) | channel(c[2]);
        }
    }
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
    // 32-bit sums where every sum and its rounding (2 x 255.5 times the area) fit, as for
    // the skin's pictures: in a 32-bit program a 64-bit division is a library call (the
    // 144-DPI background scaled in 4.9 ms instead of 7.7, measured).
    const std::uint64_t area = static_cast<std::uint64_t>(source.width) * source.height;
    if (511 * area <= UINT32_MAX)
        ResampleRows<std::uint32_t>(source, across, down, out);
    else
        ResampleRows<std::uint64_t>(source, across, down, out);
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
