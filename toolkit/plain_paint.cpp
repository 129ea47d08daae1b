// Painting with the system's colours while high contrast is on: boxes filled and outlined
// and pictures' words as text, at the places, sizes and texts the pictures have.
#include "toolkit/component.h"
#include "toolkit/label.h"
#include "toolkit/plain_look.h"
#include "toolkit/scale.h"
#include "win32/unique_win.h"

namespace toolkit {

namespace {

std::optional<bool> g_highContrastForTest;

// The fill and the text colour now: a selected tab takes the highlight.
std::pair<int, int> ColoursOf(const PlainLook& look) {
    if (look.selected && look.selected()) return {COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    return {look.fill, look.text};
}

void FillAndOutline(HDC dc, const RECT& box, int fill, bool outline) {
    if (fill >= 0) FillRect(dc, &box, GetSysColorBrush(fill));
    if (outline) FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWTEXT));
}

}  // namespace

bool HighContrastOn() {
    if (g_highContrastForTest) return *g_highContrastForTest;
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void SetHighContrastForTest(std::optional<bool> on) {
    g_highContrastForTest = on;
}

void Component::PaintPlain(HDC dc) {
    const PlainLook& look = plainLook_;
    const auto [fill, text] = ColoursOf(look);
    const RECT box = BoundsRect();
    FillAndOutline(dc, box, fill, look.outline);
    if (look.caption.empty()) return;
    RECT where = box;
    if (look.captionBox) {
        const auto& b = *look.captionBox;
        const ScaledBox s = ScaleBox(b[0], b[1], b[2], b[3], Owner().Dpi());
        where = RECT{s.left, s.top, s.right, s.bottom};
    }
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(text));
    SelectObject(dc, Owner().Font());
    DrawTextA(dc, look.caption.c_str(), static_cast<int>(look.caption.size()), &where,
              look.captionFormat | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
}

void Label::PaintPlain(HDC dc) {
    const auto [fill, text] = ColoursOf(Look());
    FillAndOutline(dc, BoundsRect(), fill, Look().outline);
    PaintLines(dc, GetSysColor(Enabled() ? text : COLOR_GRAYTEXT));
}

}  // namespace toolkit
