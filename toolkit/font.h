// Fonts by face and character height in pixels (cell height less internal leading).
#pragma once

#include "toolkit/description.h"
#include "win32/unique_win.h"

namespace toolkit {

// Where the face is missing, a sans-serif takes its place with the cell height that
// the usual bitmap face has at this character height (16 px for 13), so texts keep
// their line height.
[[nodiscard]] win32::UniqueFont CreateDescribedFont(const FontDescription& font);

// A colour as GDI takes it.
[[nodiscard]] COLORREF ToColorRef(Color color);

}  // namespace toolkit
