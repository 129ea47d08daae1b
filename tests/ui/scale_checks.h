// What a window laid out at a scale must show, as lists of problems (empty: none), for
// the in-process scale tests and for the probe that runs at the system's scale.
#pragma once

#include "toolkit/form.h"
#include "toolkit/label.h"
#include "ui/form_control_panel.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace scalecheck {

// Window size, every component's box (an autosized label's at its scaled place) and
// every check box's window as the description says at `dpi`.
[[nodiscard]] std::vector<std::string> LayoutProblems(const toolkit::Form& form, int dpi);

// Whether the text, drawn in the label's font as the label draws it (lines one cell
// height apart, centred down where the description says so), lies inside the label's box:
// every line's advance within its width, and every ink pixel within its height (a cell
// taller than the box is fine where only its empty leading falls outside). Empty: it fits.
[[nodiscard]] std::string FitProblem(const toolkit::Form& form, const toolkit::Label& label,
                                     const std::string& text);

// A picture component and the stored picture it shows: the description's own picture,
// or image `tile` of an image list's strip `resource` (tiles of tileWidth96 x tileHeight96).
struct ShownTile {
    std::string component;
    std::string resource;
    int tile;
    int tileWidth96;
    int tileHeight96;
};

// The form rendered with its labels' texts taken away (they are put back), so that only
// pictures and child windows show: every visible image's picture is as large as its
// component's scaled box, and wherever no later image or child window lies above it, the
// rendering shows the stored picture for the form's scale area-averaged to that box
// (exactly where a picture is stored for the scale; within 2 per channel elsewhere). The
// images together cover the client area.
[[nodiscard]] std::vector<std::string> PictureProblems(toolkit::Form& form,
                                                       const std::vector<ShownTile>& tiles = {});

// The tab images the panel shows on its current page.
[[nodiscard]] std::vector<ShownTile> PanelTabs(const ui::TfrmControlPanel& panel);

// Every caption and description a status refresh can give.
[[nodiscard]] std::set<std::pair<std::string, std::string>> StatusTexts();
// Every text an Enable or Disable can bring up in the message window.
[[nodiscard]] std::set<std::string> MessageTexts();

}  // namespace scalecheck
