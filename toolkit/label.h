// The label: text painted by the form, without a window of its own.
#pragma once

#include "toolkit/component.h"
#include "win32/unique_win.h"

#include <optional>
#include <string>

namespace toolkit {

class Label : public Component {
public:
    Label(ComponentHost& owner, const ComponentDescription& description);

    [[nodiscard]] const std::string& Text() const noexcept { return text_; }
    void SetText(std::string text);
    [[nodiscard]] std::string ShownText() const override { return text_; }

    // The font the text is drawn in, at the form's scale.
    [[nodiscard]] HFONT Font() const noexcept { return font_.get(); }

    [[nodiscard]] bool Windowless() const override { return true; }
    // The font is made anew at the new scale, and an autosized label fits its text again.
    void ScaleChanged() override;
    // Lines break only at line breaks in the text, tabs are expanded, and text beyond
    // the box is cut off without an ellipsis. Disabled text is drawn etched.
    void Paint(HDC dc) override;
    // The same lines in the look's colours: COLOR_GRAYTEXT when unavailable.
    void PaintPlain(HDC dc) override;

private:
    void FitToText();
    // The lines in color, or etched when color is empty and the label unavailable.
    void PaintLines(HDC dc, std::optional<COLORREF> color);

    FontDescription fontDescription_;
    std::string text_;
    win32::UniqueFont font_;
    COLORREF color_;
    UINT alignment_;
    bool verticalCenter_;
    bool autoSize_;
    bool transparent_;
};

}  // namespace toolkit
