// The check box: the system's standard check box (a child window), showing only its box.
// Its click handler runs when code changes its state, inside the setting call and only
// on a real change; a user's click toggles it and runs the same handler.
//
// Its window is made when the form first needs it (the first show, a rendering, the
// keyboard or a screen reader), not with the form: a tray program that is never opened
// should not pay for windows it never shows. Until then the box keeps its state, place and
// font itself. The program's manifest asks for no common controls 6, so the box is the
// system's own button class: the common controls library, its theme and the bitmaps it
// makes while loading (some 1.5 MB, kept for the rest of the day) are never loaded.
#pragma once

#include "toolkit/component.h"

namespace toolkit {

class CheckBox : public Component {
public:
    CheckBox(ComponentHost& owner, const ComponentDescription& description);

    // Null until the form has made its child windows.
    [[nodiscard]] HWND Handle() const noexcept { return window_; }
    [[nodiscard]] bool Checked() const;
    void SetChecked(bool checked);

    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    // Placed and given the form's font at the new scale.
    void ScaleChanged() override;

    [[nodiscard]] HWND ChildWindow() const noexcept override { return window_; }
    [[nodiscard]] bool ChildChecked() const override { return Checked(); }
    // Makes the window with the box's state, place, font and key handling.
    void CreateChildWindow() override;
    // The form passes the button's click notification on: the user toggles the box.
    void ChildClicked() override { SetChecked(!Checked()); }

private:
    void Moved() override;
    // The box's own window procedure, with the form's keys passed to the form.
    static LRESULT CALLBACK KeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    bool checked_;
    HWND window_ = nullptr;  // a child of the form's window, destroyed with it
};

}  // namespace toolkit
