// Rendering a window into pixels, its check boxes and other child windows included,
// whether it is shown or not (for screenshots and pixel tests).
#pragma once

#include "toolkit/pixels.h"

#include <windows.h>

namespace toolkit {

// The client area as the window paints it (through WM_PRINTCLIENT, which the window
// must answer), with each visible child window printed into its place.
[[nodiscard]] Pixels RenderClient(HWND hwnd);

}  // namespace toolkit
