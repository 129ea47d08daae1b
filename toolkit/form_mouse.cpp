// The form's mouse routing: presses, clicks and double clicks to the windowless
// components, the capture of a left press, enter and leave, the hand cursor (the rules
// themselves: toolkit/mouse_routing.h).
#include "toolkit/form.h"

#include <windowsx.h>

#include <cstdint>

namespace toolkit {

namespace {

std::uint32_t ShiftFrom(WPARAM keys, bool isDouble) {
    std::uint32_t shift = 0;
    if (keys & MK_SHIFT) shift |= kShift;
    if (keys & MK_CONTROL) shift |= kCtrl;
    if (keys & MK_LBUTTON) shift |= kLeft;
    if (keys & MK_RBUTTON) shift |= kRight;
    if (keys & MK_MBUTTON) shift |= kMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= kAlt;
    if (isDouble) shift |= kDouble;
    return shift;
}

}  // namespace

RECT Form::HitBounds(const Component& component) const {
    if (const HWND child = component.ChildWindow()) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window_.get(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    const auto boxes = Boxes();
    for (size_t i = 0; i < windowless_.size(); ++i)
        if (windowless_[i] == &component) {
            const RoutingBox& b = boxes[i];
            return RECT{b.left, b.top, b.left + b.width, b.top + b.height};
        }
    return component.BoundsRect();
}

std::vector<RoutingBox> Form::Boxes() const {
    std::vector<RoutingBox> boxes;
    boxes.reserve(windowless_.size());
    for (const Component* c : windowless_)
        boxes.push_back({c->Left(), c->Top(), c->Width(), c->Height(), c->Visible(), c->Enabled()});
    return boxes;
}

std::optional<size_t> Form::UnderPoint(int x, int y) const {
    RECT client{};
    GetClientRect(window_.get(), &client);
    if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) return std::nullopt;
    return HoverTarget(Boxes(), x, y);
}

std::optional<size_t> Form::UnderCursor() const {
    POINT p{};
    if (!GetCursorPos(&p) || WindowFromPoint(p) != window_.get()) return std::nullopt;
    ScreenToClient(window_.get(), &p);
    return UnderPoint(p.x, p.y);
}

void Form::Deliver(HoverTracker::Change change) {
    if (change.left) windowless_[*change.left]->MouseLeft();
    if (change.entered) windowless_[*change.entered]->MouseEntered();
}

void Form::TrackLeave() {
    // Armed only while the pointer is really inside: armed from outside, the system
    // either arms nothing or reports a leave at once.
    POINT p{};
    if (captureHeld_ || !GetCursorPos(&p) || WindowFromPoint(p) != window_.get()) return;
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    if (TrackMouseEvent(&query) && (query.dwFlags & TME_LEAVE) && query.hwndTrack == window_.get())
        return;
    TRACKMOUSEEVENT arm{sizeof arm, TME_LEAVE, window_.get(), 0};
    TrackMouseEvent(&arm);
}

LRESULT Form::OnMouseButton(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp);
    const int y = GET_Y_LPARAM(lp);
    const bool isDouble =
        msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    const MouseButton button =
        (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)   ? MouseButton::Left
        : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) ? MouseButton::Right
                                                             : MouseButton::Middle;
    const auto boxes = Boxes();
    const auto target = PressTarget(boxes, x, y);
    if (button == MouseButton::Left) {
        pressed_ = target;
        // The second press of a double click brings a double-click event, not a click.
        clickArmed_ = target.has_value() && !isDouble;
        captureHeld_ = true;
        hover_.SetCapture(target);
        SetCapture(window_.get());
    }
    const std::uint32_t shift = ShiftFrom(wp, isDouble);
    if (!target) {
        if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
        return 0;
    }
    Component& c = *windowless_[*target];
    if (isDouble && button == MouseButton::Left) c.DblClick();
    c.MouseDown(button, shift, x - c.Left(), y - c.Top());
    return 0;
}

LRESULT Form::OnLeftButtonUp(LPARAM lp) {
    const int x = GET_X_LPARAM(lp);
    const int y = GET_Y_LPARAM(lp);
    if (captureHeld_) {
        const auto pressed = pressed_;
        const bool armed = clickArmed_;
        captureHeld_ = false;
        clickArmed_ = false;
        pressed_.reset();
        hover_.SetCapture(std::nullopt);
        releasingCapture_ = true;
        ReleaseCapture();
        releasingCapture_ = false;
        if (armed && pressed) {
            Component& c = *windowless_[*pressed];
            if (c.Visible() && c.Enabled() && x >= c.Left() && y >= c.Top() &&
                x < c.Left() + c.Width() && y < c.Top() + c.Height())
                c.Click();
        }
    }
    Deliver(hover_.Update(UnderPoint(x, y)));
    TrackLeave();
    return 0;
}

LRESULT Form::OnMouseMove(LPARAM lp) {
    Deliver(hover_.Update(UnderPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))));
    TrackLeave();
    return 0;
}

LRESULT Form::OnMouseLeave() {
    // Some systems report a leave while this window holds the capture: the pointer
    // still belongs to the pressed component then.
    if (captureHeld_ || GetCapture() == window_.get()) return 0;
    Deliver(hover_.Update(std::nullopt));
    return 0;
}

LRESULT Form::OnCaptureChanged() {
    if (releasingCapture_) return 0;
    // Taken away (a handler released it, for a system move say): no click follows, and
    // the pointer may be elsewhere by now.
    captureHeld_ = false;
    clickArmed_ = false;
    pressed_.reset();
    hover_.SetCapture(std::nullopt);
    Deliver(hover_.Update(UnderCursor()));
    return 0;
}

LRESULT Form::OnSetCursor(WPARAM wp, LPARAM lp) {
    if (reinterpret_cast<HWND>(wp) == window_.get() && LOWORD(lp) == HTCLIENT) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window_.get(), &p);
        const auto boxes = Boxes();
        const auto target = PressTarget(boxes, p.x, p.y);
        if (target && windowless_[*target]->HandCursor()) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            return TRUE;
        }
    }
    return DefWindowProcA(window_.get(), WM_SETCURSOR, wp, lp);
}

}  // namespace toolkit
