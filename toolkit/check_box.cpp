#include "toolkit/check_box.h"

#include "toolkit/form.h"

#include <stdexcept>

namespace toolkit {

CheckBox::CheckBox(Form& owner, const ComponentDescription& d) : Component(owner, d) {
    // BS_CHECKBOX, not BS_AUTOCHECKBOX: the state changes only through SetChecked, so a
    // click from the user and a change from code run the handler the same way.
    const DWORD style = WS_CHILD | WS_TABSTOP | BS_CHECKBOX | (d.visible ? WS_VISIBLE : 0) |
                        (d.enabled ? 0 : WS_DISABLED);
    const RECT r = BoundsRect();
    window_ = CreateWindowExA(0, "BUTTON", "", style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, owner.Handle(), nullptr, owner.Module(), nullptr);
    if (!window_) throw std::runtime_error("Cannot create the check box " + d.name + ".");
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(owner.Font()), FALSE);
    if (d.checked) SendMessageA(window_, BM_SETCHECK, BST_CHECKED, 0);
}

bool CheckBox::Checked() const {
    return SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    if (checked == Checked()) return;
    SendMessageA(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    Click();
}

void CheckBox::SetVisible(bool visible) {
    Component::SetVisible(visible);
    ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void CheckBox::SetEnabled(bool enabled) {
    Component::SetEnabled(enabled);
    EnableWindow(window_, enabled ? TRUE : FALSE);
}

void CheckBox::ScaleChanged() {
    Component::ScaleChanged();
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(Owner().Font()), TRUE);
}

void CheckBox::Moved() {
    MoveWindow(window_, Left(), Top(), Width(), Height(), TRUE);
}

}  // namespace toolkit
