// Fonts by face and character height in pixels (cell height less internal leading), at
// the window's scale.
#pragma once

#include "toolkit/description.h"
#include "toolkit/scale.h"
#include "win32/unique_win.h"

namespace toolkit {

// The scalable face that takes the place of a bitmap face at a size the bitmap face does
// not have: drawn with the same proportions as the classic dialog face, with a real bold,
// and present both on Windows and in Wine.
inline constexpr const char* kScalableFace = "Tahoma";

// The described font at `dpi`: its character height times dpi / 96. At 96 DPI the face
// and size as described. Above it, a bitmap face that has no such size among those it is
// drawn in gives way to the scalable face at the scaled height. Where the face is missing, a
// sans-serif takes its place with the cell height that the usual bitmap face has at this character
// height (16 px for 13), so texts keep their line height.
[[nodiscard]] win32::UniqueFont CreateDescribedFont(const FontDescription& font,
                                                    int dpi = kDefaultDpi);

// A colour as GDI takes it.
[[nodiscard]] COLORREF ToColorRef(Color color);

}  // namespace toolkit
