// A text drawn the way the program draws its labels, as a mask of ink pixels, so that the
// suite can find the text in a screenshot.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Rows of '#' (ink), '+' (a smoothed edge, partly ink) and '.' of TEXT in bold "MS Sans Serif" of
// the given character height at 96 DPI, in the font the program's labels take at `dpi`, cropped to
// the text's cell. Empty when the text cannot be drawn.
[[nodiscard]] std::vector<std::string> RenderTextMask(int height, const std::string& text,
                                                      int dpi = 96);

}  // namespace e2e
