#include "toolkit/picture_loader.h"

#include "toolkit/png_decode.h"
#include "toolkit/resample.h"
#include "toolkit/scale.h"

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace toolkit {

namespace {

std::atomic<long> decodeCount{0};

// Why a picture could not be decoded, in words for the message that reports it.
const char* Reason(PngResult result) noexcept {
    switch (result) {
        case PngResult::NotPng: return "not a PNG file";
        case PngResult::Truncated: return "the file is cut short";
        case PngResult::Unsupported: return "a kind of PNG not stored here";
        case PngResult::TooLarge: return "too large";
        default: return "the file is damaged";
    }
}

}  // namespace

long PictureDecodeCount() noexcept {
    return decodeCount.load();
}

std::string ScaledPictureName(const std::string& name, int percent) {
    return percent == 100 ? name : name + "_" + std::to_string(percent);
}

Pixels DecodePng(const void* data, size_t size) {
    Pixels out;
    const PngResult result = DecodePngBytes({static_cast<const std::uint8_t*>(data), size}, out);
    if (result != PngResult::Ok)
        throw std::runtime_error(std::string("Cannot decode a picture: ") + Reason(result) + ".");
    ++decodeCount;
    return out;
}

Pixels LoadStoredPicture(HINSTANCE module, const std::string& name, int dpi, int& scale) {
    std::vector<int> stored;
    for (const int s : kStoredPictureScales)
        if (FindResourceA(module, ScaledPictureName(name, s).c_str(), kPictureResourceType))
            stored.push_back(s);
    scale = ChooseStoredScale(stored, dpi);
    if (scale == 0) throw std::runtime_error("The picture " + name + " is missing.");
    const std::string chosen = ScaledPictureName(name, scale);
    HRSRC found = FindResourceA(module, chosen.c_str(), kPictureResourceType);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw std::runtime_error("The picture " + chosen + " is missing.");
    return DecodePng(data, SizeofResource(module, found));
}

Pixels LoadPictureAtDpi(HINSTANCE module, const std::string& name, int dpi, int tileWidth96,
                        int tileHeight96) {
    int scale = 0;
    Pixels source = LoadStoredPicture(module, name, dpi, scale);
    // Stored at scale percent: its 96-DPI size is the stored size scaled back.
    const int width96 = source.width * 100 / scale;
    const int height96 = source.height * 100 / scale;
    if (tileWidth96 > 0 && tileHeight96 > 0) {
        const int fromW = tileWidth96 * scale / 100;
        const int fromH = tileHeight96 * scale / 100;
        return ResampleTiles(source, fromW, fromH, ScaledLength(tileWidth96, dpi),
                             ScaledLength(tileHeight96, dpi));
    }
    return ResampleArea(source, ScaledLength(width96, dpi), ScaledLength(height96, dpi));
}

Pixels LoadPictureAt(HINSTANCE module, const std::string& name, int dpi, int left96, int top96) {
    int scale = 0;
    const Pixels source = LoadStoredPicture(module, name, dpi, scale);
    const int width96 = source.width * 100 / scale;
    const int height96 = source.height * 100 / scale;
    return ResampleArea(source, ScaleSpan(left96, width96, dpi), ScaleSpan(top96, height96, dpi));
}

}  // namespace toolkit
