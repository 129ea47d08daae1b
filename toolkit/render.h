// Rendering a window into pixels, its check boxes and other child windows included,
// whether it is shown or not (for screenshots and pixel tests).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace toolkit {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;  // 0xRRGGBB, row after row from the top

    [[nodiscard]] std::uint32_t At(int x, int y) const {
        return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// The client area as the window paints it (through WM_PRINTCLIENT, which the window
// must answer), with each visible child window printed into its place.
[[nodiscard]] Pixels RenderClient(HWND hwnd);

}  // namespace toolkit
