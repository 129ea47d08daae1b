// A text drawn the way the program draws its labels, as a mask of ink pixels, so that the
// suite can find the text in a screenshot.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Rows of '#' (ink) and '.' of TEXT in bold "MS Sans Serif" of the given character height,
// cropped to the text's cell. Empty when the text cannot be drawn.
[[nodiscard]] std::vector<std::string> RenderTextMask(int height, const std::string& text);

}  // namespace e2e
