// Drawing with the system's colours instead of pictures, for people who run a
// high-contrast theme: how each component looks then, and whether it is on.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace toolkit {

// How a component is drawn while high contrast is on. Colours are system colour indexes
// (COLOR_*); -1 draws nothing. A label draws its text in `text` (COLOR_GRAYTEXT when
// unavailable); an image draws `caption` (its picture's words) in the box `captionBox`,
// at 96 DPI in the form's coordinates (none: its own box), in the form's font.
struct PlainLook {
    int fill = -1;
    int text = COLOR_WINDOWTEXT;
    bool outline = false;
    std::string caption;
    std::optional<std::array<int, 4>> captionBox;  // left, top, width, height
    UINT captionFormat = DT_CENTER;
    // While it answers true (a selected page tab): COLOR_HIGHLIGHT with COLOR_HIGHLIGHTTEXT.
    std::function<bool()> selected;
};

// Whether the system's high contrast is on (SPI_GETHIGHCONTRAST, HCF_HIGHCONTRASTON), or
// what a test's seam says instead.
[[nodiscard]] bool HighContrastOn();
// A test's answer in place of the system's; nullopt gives the system's back.
void SetHighContrastForTest(std::optional<bool> on);

}  // namespace toolkit
