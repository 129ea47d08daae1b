// The label: text painted by the form, without a window of its own.
#pragma once

#include "toolkit/component.h"
#include "win32/unique_win.h"

#include <string>

namespace toolkit {

class Label : public Component {
public:
    Label(Form& owner, const ComponentDescription& description);

    [[nodiscard]] const std::string& Text() const noexcept { return text_; }
    void SetText(std::string text);
    [[nodiscard]] std::string ShownText() const override { return text_; }

    [[nodiscard]] bool Windowless() const override { return true; }
    // Lines break only at line breaks in the text, tabs are expanded, and text beyond
    // the box is cut off without an ellipsis. Disabled text is drawn etched.
    void Paint(HDC dc) override;

private:
    void FitToText();

    std::string text_;
    win32::UniqueFont font_;
    COLORREF color_;
    UINT alignment_;
    bool verticalCenter_;
    bool autoSize_;
    bool transparent_;
};

}  // namespace toolkit
