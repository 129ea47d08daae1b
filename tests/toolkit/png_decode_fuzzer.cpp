// Feeds arbitrary bytes to the PNG decoder and, as a zlib stream, to the decompressor: each
// either succeeds or gives a result code, and never reads or writes out of bounds. The chunk
// CRCs are rewritten first, so that mutations reach past the CRC check into the chunks.
#include "toolkit/inflate.h"
#include "toolkit/png_decode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::uint32_t ReadBig32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

void FixCrcs(std::vector<std::uint8_t>& file) {
    std::size_t at = 8;
    while (file.size() >= 12 && at <= file.size() - 12) {
        const std::size_t length = ReadBig32(&file[at]);
        if (length > file.size() - at - 12) return;
        const std::uint32_t crc = toolkit::PngCrc32({&file[at + 4], length + 4});
        for (int i = 0; i < 4; ++i)
            file[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += length + 12;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(data, data + size);
    FixCrcs(file);
    toolkit::Pixels pixels;
    const toolkit::PngResult result = toolkit::DecodePngBytes(file, pixels);
    const auto count =
        static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height);
    if ((result == toolkit::PngResult::Ok) != (count > 0) || pixels.rgb.size() != count)
        std::abort();
    for (const std::uint32_t p : pixels.rgb) {
        if (p > 0xFFFFFF) std::abort();
    }

    // One buffer for every input: the output must stay inside it, whatever the input.
    static std::vector<std::uint8_t> out(std::size_t{1} << 20);
    std::size_t written = 0;
    (void)toolkit::Inflate({data, size}, out, written);
    if (written > out.size()) std::abort();
    return 0;
}
