#include "toolkit/label.h"

#include "toolkit/font.h"
#include "toolkit/text_lines.h"

#include <algorithm>

namespace toolkit {

namespace {

constexpr UINT kLineFlags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX | DT_NOCLIP;

UINT ToDrawTextAlignment(Alignment a) {
    switch (a) {
        case Alignment::Center: return DT_CENTER;
        case Alignment::Right: return DT_RIGHT;
        case Alignment::Left: break;
    }
    return DT_LEFT;
}

int LineHeight(HDC dc) {
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    return metrics.tmHeight;
}

void DrawLine(HDC dc, std::string_view line, RECT r, UINT flags) {
    DrawTextA(dc, line.data(), static_cast<int>(line.size()), &r, flags);
}

}  // namespace

Label::Label(ComponentHost& owner, const ComponentDescription& d)
    : Component(owner, d),
      fontDescription_(d.font),
      text_(d.text),
      font_(CreateDescribedFont(d.font, owner.Dpi())),
      color_(ToColorRef(d.font.color)),
      alignment_(ToDrawTextAlignment(d.alignment)),
      verticalCenter_(d.verticalCenter),
      autoSize_(d.autoSize),
      transparent_(d.transparent) {
    if (autoSize_) FitToText();
}

void Label::SetText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (autoSize_) FitToText();
    Invalidate();
    Owner().ComponentTextChanged(*this);
}

void Label::ScaleChanged() {
    font_ = CreateDescribedFont(fontDescription_, Owner().Dpi());
    Component::ScaleChanged();
    if (autoSize_) FitToText();
}

void Label::FitToText() {
    win32::WindowDc screen(nullptr);
    win32::Selected font(screen.get(), font_.get());
    const auto lines = SplitLines(text_);
    int width = 0;
    for (const auto line : lines) {
        RECT r{0, 0, 0, 0};
        DrawTextA(screen.get(), line.data(), static_cast<int>(line.size()), &r,
                  kLineFlags | DT_CALCRECT);
        width = std::max(width, static_cast<int>(r.right - r.left));
    }
    // In pixels as measured: the text's own size at the form's scale.
    const int height = LineHeight(screen.get()) * static_cast<int>(lines.size());
    Place(RECT{Left(), Top(), Left() + width, Top() + height});
}

void Label::Paint(HDC dc) {
    PaintLines(dc, Enabled() ? std::optional<COLORREF>(color_) : std::nullopt);
}

void Label::PaintLines(HDC dc, std::optional<COLORREF> color) {
    const RECT box = BoundsRect();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    if (!transparent_) {
        win32::UniqueBrush fill(CreateSolidBrush(Owner().Color()));
        FillRect(dc, &box, fill.get());
    }
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, font_.get());

    const auto lines = SplitLines(text_);
    const int lineHeight = LineHeight(dc);
    int top = box.top;
    if (verticalCenter_) top += (Height() - lineHeight * static_cast<int>(lines.size())) / 2;
    const UINT flags = kLineFlags | alignment_;
    for (const auto line : lines) {
        const RECT r{box.left, top, box.right, top + lineHeight};
        if (color) {
            SetTextColor(dc, *color);
            DrawLine(dc, line, r, flags);
        } else {
            // Etched: the highlight one pixel right and down, the shadow in place.
            SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
            DrawLine(dc, line, RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, flags);
            SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
            DrawLine(dc, line, r, flags);
        }
        top += lineHeight;
        if (top >= box.bottom) break;
    }
    RestoreDC(dc, saved);
}

}  // namespace toolkit
