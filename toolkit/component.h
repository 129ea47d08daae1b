// The base of everything a window description creates on a form: images and labels
// (windowless, painted by the form, stacked in description order), check boxes (child
// windows) and image lists (not shown).
#pragma once

#include "toolkit/component_host.h"
#include "toolkit/description.h"
#include "toolkit/events.h"
#include "toolkit/plain_look.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace toolkit {

class Component : public Object {
public:
    Component(ComponentHost& owner, const ComponentDescription& description);

    [[nodiscard]] const std::string& Name() const override { return name_; }
    // The window it sits on, through the narrow host interface.
    [[nodiscard]] ComponentHost& Owner() const noexcept { return owner_; }

    // Where the component is now, in the window's pixels: its box at the form's scale.
    // Painting, hit-testing and whatever else asks for the component's place use this.
    [[nodiscard]] RECT BoundsRect() const noexcept { return bounds_; }
    [[nodiscard]] int Left() const noexcept { return bounds_.left; }
    [[nodiscard]] int Top() const noexcept { return bounds_.top; }
    [[nodiscard]] int Width() const noexcept { return bounds_.right - bounds_.left; }
    [[nodiscard]] int Height() const noexcept { return bounds_.bottom - bounds_.top; }
    // The description's corner, in pixels at 96 DPI: where a picture's scaled edges start.
    [[nodiscard]] int Left96() const noexcept { return left_; }
    [[nodiscard]] int Top96() const noexcept { return top_; }
    // A new box in the units of window descriptions (pixels at 96 DPI); the component is
    // placed at the form's scale.
    void SetBounds(int left, int top, int width, int height);
    // The form's scale has changed: the component takes its box at the new scale; a kind
    // with fonts or a window of its own re-makes them and follows.
    virtual void ScaleChanged();

    [[nodiscard]] bool Visible() const noexcept { return visible_; }
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    // Changing either state runs no handler.
    virtual void SetVisible(bool visible);
    virtual void SetEnabled(bool enabled);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    [[nodiscard]] bool HandCursor() const noexcept { return handCursor_; }

    // What a screen reader says of the component beyond its name, such as why it is
    // unavailable; empty: nothing.
    [[nodiscard]] const std::string& Hint() const noexcept { return hint_; }
    void SetHint(std::string hint) { hint_ = std::move(hint); }

    // What the component shows as text (a label's text); a screen reader names it by this.
    [[nodiscard]] virtual std::string ShownText() const { return {}; }

    // A component that is a child window of its own (a check box) gives its window here;
    // the form orders such windows by tab order and passes their clicks on. Null: none.
    [[nodiscard]] virtual HWND ChildWindow() const noexcept { return nullptr; }
    // The child window reported a click (BN_CLICKED).
    virtual void ChildClicked() {}
    // Makes the component's child window, if its kind has one; the form calls it when it
    // first needs its child windows, so ChildWindow() is null before.
    virtual void CreateChildWindow() {}
    // A child window's checked state (a check box's), known before its window exists.
    [[nodiscard]] virtual bool ChildChecked() const { return false; }

    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    MouseEvent OnMouseDown;  // x and y relative to the component

    // Decodes the component's pictures for this DPI (the form's PreparePictures calls it
    // before the first show and at a scale change). Kinds without pictures have nothing
    // to do.
    virtual void LoadPictures(int /*dpi*/) {}
    // Gives the decoded pictures back (a form hidden for a while); LoadPictures makes them
    // again.
    virtual void ReleasePictures() noexcept {}

    // Windowless components are painted by the form and take part in mouse routing.
    [[nodiscard]] virtual bool Windowless() const { return false; }
    virtual void Paint(HDC) {}
    // Drawn with the system's colours (high contrast on): the look's fill, outline and
    // caption in its box; no picture (plain_paint.cpp).
    virtual void PaintPlain(HDC dc);
    void SetPlainLook(PlainLook look) { plainLook_ = std::move(look); }
    [[nodiscard]] const PlainLook& Look() const noexcept { return plainLook_; }

    // What the form's mouse routing tells a windowless component. A kind that reports
    // pointer entry (a hover image) overrides the two notifications.
    virtual void MouseEntered() {}
    virtual void MouseLeft() {}
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(MouseButton button, std::uint32_t shift, int x, int y);

    // The event of this name as a window description binds it; null when the kind has
    // no such event. A kind that adds events overrides these and falls back to its base.
    [[nodiscard]] virtual NotifyEvent* NotifySlot(std::string_view event);
    [[nodiscard]] virtual MouseEvent* MouseSlot(std::string_view event);

    // Marks the component's area for painting; Repaint paints it at once.
    void Invalidate() const;
    void Repaint() const;

protected:
    // Puts the component at this box in the window's pixels, repainting both places.
    void Place(RECT pixels);
    // The box has changed; a component with a window of its own moves it.
    virtual void Moved() {}
    // The description's box at the form's current scale.
    [[nodiscard]] RECT ScaledBounds() const noexcept;

private:
    ComponentHost& owner_;
    std::string name_;
    int left_, top_, width_, height_;  // at 96 DPI, as the description gives them
    RECT bounds_{};                    // in the window's pixels
    bool visible_;
    bool enabled_;
    bool handCursor_;
    PlainLook plainLook_;
    std::string hint_;
};

// Makes a component of a kind; a form takes a list of the kinds it adds to the toolkit's.
using ComponentFactory = std::unique_ptr<Component> (*)(ComponentHost&,
                                                        const ComponentDescription&);

struct ComponentKind {
    std::string_view kind;  // the kind word of the description: "component <kind> <name>"
    ComponentFactory make;
};

template <typename T>
std::unique_ptr<Component> MakeComponent(ComponentHost& owner,
                                         const ComponentDescription& description) {
    return std::make_unique<T>(owner, description);
}

}  // namespace toolkit
