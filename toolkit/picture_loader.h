// Skin pictures from the program's resources: PNG files of resource type "PNG", one per
// stored scale (the name at 100 %, NAME_150, NAME_200 at the others), decoded by our own
// decoder (png_decode.h) into 32-bit pixels for a requested DPI: the stored picture
// when one exists for that DPI, otherwise the nearest larger one scaled down (area
// averaging), otherwise the largest scaled up.
#pragma once

#include "toolkit/pixels.h"

#include <windows.h>

#include <string>

namespace toolkit {

inline constexpr char kPictureResourceType[] = "PNG";
// The scales, in percent, at which a picture may be stored, looked for in this order.
inline constexpr int kStoredPictureScales[] = {100, 150, 200};

// How many PNG pictures this process has decoded so far. Nothing is decoded before a
// window is first shown; tests read this to prove it.
[[nodiscard]] long PictureDecodeCount() noexcept;

// The resource name of a picture stored at scale percent.
[[nodiscard]] std::string ScaledPictureName(const std::string& name, int percent);

// The picture at this DPI. Its 96-DPI size is the stored size scaled back; the result is
// that size scaled to the DPI. A strip of tiles (tileWidth96 x tileHeight96 at 96 DPI,
// zero: not a strip) is scaled tile by tile. Throws when the picture is missing or
// cannot be decoded.
[[nodiscard]] Pixels LoadPictureAtDpi(HINSTANCE module, const std::string& name, int dpi,
                                      int tileWidth96 = 0, int tileHeight96 = 0);

// The picture at this DPI for a component whose corner lies at (left96, top96) at 96 DPI:
// its edges are scaled as the component's are (ScaleSpan), so that a picture as large as
// its component fills the component's scaled box, neither cut nor a pixel short.
[[nodiscard]] Pixels LoadPictureAt(HINSTANCE module, const std::string& name, int dpi, int left96,
                                   int top96);

// The stored picture that the loader starts from at this DPI, decoded, and its scale in
// percent. Throws when the picture is missing or cannot be decoded.
[[nodiscard]] Pixels LoadStoredPicture(HINSTANCE module, const std::string& name, int dpi,
                                       int& scale);

// Only the decoding: a PNG file's pixels (0xRRGGBB). Throws when it cannot be decoded.
[[nodiscard]] Pixels DecodePng(const void* data, size_t size);

}  // namespace toolkit
