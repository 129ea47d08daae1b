// What the skin's pictures must show at the places that components line up with. The
// same checks run on the stored files (natively) and on the bitmaps loaded from the
// built program's resources (under Wine).
#pragma once

#include "tests/skin/picture.h"

#include <cstdint>

namespace skintest {

inline constexpr std::uint32_t kFrameBlue = 0x0075F3;
inline constexpr std::uint32_t kContentBlue = 0xC8E4F1;
inline constexpr std::uint32_t kFaceBlue = 0xC7E3F1;
inline constexpr std::uint32_t kPlateOutline = 0x1E568F;
inline constexpr std::uint32_t kCaptionWordBlue = 0x4F8CDB;
inline constexpr std::uint32_t kTabWordBlue = 0x00539B;

// Columns x0..x1 and rows y0..y1, both inclusive.
struct Box {
    int x0, y0, x1, y1;
};
inline constexpr Box kStatusWordBox{4, 6, 90, 23};
inline constexpr Box kSettingsWordBox{4, 5, 114, 28};

// Picture A: frame, separator lines, close-button face, title strip, logo, content area.
void ExpectBackground(const Picture& a);
// Pictures B and C: A's pixels from (160, 8) outside the word's box, the word inside it.
void ExpectCaptionStrip(const Picture& strip, const Picture& background, Box word);
// Picture D: outline, white corners, gradient and seam.
void ExpectButtonPlate(const Picture& d);
// Pictures E as one 570 x 34 strip in image-list order.
void ExpectTabStrip(const Picture& e);
// Picture F: frame, bands, logo and the plate at (204, 122).
void ExpectMessageBackground(const Picture& f, const Picture& plate);

}  // namespace skintest
