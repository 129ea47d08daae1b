#include "toolkit/component.h"

#include "toolkit/scale.h"

#include <cstdint>

namespace toolkit {

Component::Component(ComponentHost& owner, const ComponentDescription& d)
    : owner_(owner),
      name_(d.name),
      left_(d.left),
      top_(d.top),
      width_(d.width),
      height_(d.height),
      visible_(d.visible),
      enabled_(d.enabled),
      handCursor_(d.handCursor) {
    bounds_ = ScaledBounds();
}

RECT Component::ScaledBounds() const noexcept {
    const ScaledBox b = ScaleBox(left_, top_, width_, height_, owner_.Dpi());
    return RECT{b.left, b.top, b.right, b.bottom};
}

void Component::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Place(ScaledBounds());
}

void Component::ScaleChanged() {
    Place(ScaledBounds());
}

void Component::Place(RECT pixels) {
    Invalidate();
    bounds_ = pixels;
    Invalidate();
    Moved();
}

void Component::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Invalidate();
    owner_.ComponentChanged(*this);
}

void Component::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Invalidate();
    owner_.ComponentChanged(*this);
}

void Component::Click() {
    if (OnClick) OnClick(*this);
}

void Component::DblClick() {
    if (OnDblClick) OnDblClick(*this);
}

void Component::MouseDown(MouseButton button, std::uint32_t shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

NotifyEvent* Component::NotifySlot(std::string_view event) {
    if (event == "OnClick") return &OnClick;
    if (event == "OnDblClick") return &OnDblClick;
    return nullptr;
}

MouseEvent* Component::MouseSlot(std::string_view event) {
    if (event == "OnMouseDown") return &OnMouseDown;
    return nullptr;
}

void Component::Invalidate() const {
    if (!Windowless()) return;
    const RECT r = BoundsRect();
    InvalidateRect(owner_.Handle(), &r, FALSE);
}

void Component::Repaint() const {
    Invalidate();
    UpdateWindow(owner_.Handle());
}

}  // namespace toolkit
