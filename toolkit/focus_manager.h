// A form's keyboard focus and what a screen reader sees of it. The form says which of its
// components are exposed, in reading order, and passes on the keyboard and accessibility
// messages; this keeps the focused item, the focus cues and the accessibility object
// (toolkit/accessible_win.h), and draws the focus rectangle from the bounds that the
// form's hit-testing uses.
#pragma once

#include "toolkit/accessible_model.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace toolkit {

class Component;
class Form;
class FormAccessible;
// Lets go of the focus manager's reference to its accessible object
// (toolkit/accessible_win.cpp).
void ReleaseAccessible(FormAccessible* accessible) noexcept;

class FocusManager {
public:
    explicit FocusManager(Form& form) : form_(form) {}
    FocusManager(const FocusManager&) = delete;
    FocusManager& operator=(const FocusManager&) = delete;

    // The form's window.
    [[nodiscard]] HWND Window() const noexcept;

    // The components a screen reader sees, in reading order, and the keyboard's stops.
    // Expose a windowless component with its role; an empty name means its shown text.
    // A tab index of 0 or more makes it a stop of the Tab key, in that order.
    void Expose(Component& component, access::Role role, std::string name = {}, int tabIndex = -1,
                std::function<bool()> selected = {});
    // A check box, a window of its own, and the text beside it that names it: a client can
    // ask the box or the form. Tab visits it after the windowless stops, in the
    // description's tab order. The box shows no text of its own, so its focus rectangle
    // is drawn around that text.
    void ExposeWindow(Component& component, const Component& label);
    // The item that has the focus when the form is shown (none: the form itself).
    void SetInitialFocus(Component& component);

    [[nodiscard]] std::vector<access::Item> AccessItems() const;
    [[nodiscard]] std::size_t AccessItemCount() const noexcept { return exposed_.size(); }
    [[nodiscard]] const Component& AccessComponent(std::size_t item) const {
        return *exposed_.at(item).component;
    }
    // The item with the keyboard focus: a windowless one while the form's window has the
    // focus, or the exposed child window that has it. None otherwise.
    [[nodiscard]] std::optional<std::size_t> FocusedItem() const;
    // Gives the item the focus (a child window gets the system's focus).
    void FocusItem(std::size_t item);
    // Tab and Shift+Tab.
    void MoveFocus(bool forward);
    // Focus rectangles are drawn only after the keyboard was used in this showing, unless
    // the system asks for them always.
    [[nodiscard]] bool FocusCuesShown() const noexcept { return focusCues_; }
    // The item's place on the screen, from the bounds that hit-testing uses.
    [[nodiscard]] RECT ItemScreenRect(std::size_t item) const;
    // The visible item at a screen point, topmost child window or windowless item.
    [[nodiscard]] std::optional<std::size_t> ItemAtScreen(POINT point) const;
    // What a click on the item does, run after the current message (a screen reader's
    // call returns first); a child window is clicked as the system clicks it.
    void PostDefaultAction(std::size_t item);

    // ---- what the form passes on ----
    // A component was hidden or disabled: the focus goes back to the form.
    void ComponentChanged(const Component& component);
    // A component's shown text changed: a screen reader is told.
    void ComponentTextChanged(const Component& component);
    // Before the hidden form appears: no cues yet, the initial item focused.
    void Showing();
    // After it appeared: the active window takes the keyboard (the initial item, or the
    // form itself).
    void Shown();
    // The focus rectangle, over the painted components.
    void PaintFocus(HDC dc) const;
    // The keyboard, focus and accessibility messages; false for any other (and for focus
    // changes, which still get the default handling).
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The window is going: clients that hold the accessible object get an error from now on.
    void Disconnect() noexcept;

private:
    struct ExposedItem {
        Component* component;
        access::Role role;
        std::string name;
        int tabIndex;
        std::function<bool()> selected;
        bool window;
        const Component* label = nullptr;  // a box's text: its name and its focus's place
    };

    [[nodiscard]] std::optional<std::size_t> ExposedIndex(const Component& component) const;
    [[nodiscard]] long ChildId(std::size_t item) const;
    void ShowFocusCues();
    void ResetFocusCues();
    void InvalidateItem(std::optional<std::size_t> item) const;
    LRESULT OnKeyDown(WPARAM wp, LPARAM lp);
    LRESULT OnGetObject(WPARAM wp, LPARAM lp);
    void RunDefaultAction(std::size_t item);

    Form& form_;
    std::vector<ExposedItem> exposed_;
    std::optional<std::size_t> focused_;  // the windowless item with the focus
    std::optional<std::size_t> initialFocus_;
    bool focusCues_ = false;
    std::unique_ptr<FormAccessible, void (*)(FormAccessible*) noexcept> accessible_{
        nullptr, &ReleaseAccessible};
};

}  // namespace toolkit
