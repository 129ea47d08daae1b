#include "toolkit/resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace toolkit {

namespace {

// One output pixel's share of the source: the source pixels first..first+weights.size()-1.
struct Footprint {
    int first = 0;
    std::vector<double> weights;  // sums to 1
};

// The footprints of `to` output pixels over `from` source pixels: output pixel i covers
// the source interval [i * from / to, (i + 1) * from / to).
std::vector<Footprint> Footprints(int from, int to) {
    std::vector<Footprint> out(static_cast<size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double a = i * step;
        const double b = (i + 1) * step;
        Footprint& f = out[static_cast<size_t>(i)];
        f.first = std::min(from - 1, static_cast<int>(std::floor(a)));
        const int last = std::min(from - 1, static_cast<int>(std::ceil(b)) - 1);
        for (int s = f.first; s <= std::max(f.first, last); ++s) {
            const double cover = std::min<double>(b, s + 1) - std::max<double>(a, s);
            f.weights.push_back(std::max(0.0, cover) / step);
        }
    }
    return out;
}

std::uint32_t Pack(const double c[3]) {
    auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    return (channel(c[0]) << 16) | (channel(c[1]) << 8) | channel(c[2]);
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
    // Across first, into rows of the source's height, in floating point.
    std::vector<double> rows(static_cast<size_t>(width) * source.height * 3);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < width; ++x) {
            const Footprint& f = across[static_cast<size_t>(x)];
            double c[3] = {0, 0, 0};
            for (size_t k = 0; k < f.weights.size(); ++k) {
                const std::uint32_t p = source.At(f.first + static_cast<int>(k), y);
                c[0] += f.weights[k] * ((p >> 16) & 0xFF);
                c[1] += f.weights[k] * ((p >> 8) & 0xFF);
                c[2] += f.weights[k] * (p & 0xFF);
            }
            double* r = &rows[(static_cast<size_t>(y) * width + x) * 3];
            r[0] = c[0];
            r[1] = c[1];
            r[2] = c[2];
        }
    for (int y = 0; y < height; ++y) {
        const Footprint& f = down[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            double c[3] = {0, 0, 0};
            for (size_t k = 0; k < f.weights.size(); ++k) {
                const double* r =
                    &rows[(static_cast<size_t>(f.first + static_cast<int>(k)) * width + x) * 3];
                c[0] += f.weights[k] * r[0];
                c[1] += f.weights[k] * r[1];
                c[2] += f.weights[k] * r[2];
            }
            out.rgb[static_cast<size_t>(y) * width + x] = Pack(c);
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
