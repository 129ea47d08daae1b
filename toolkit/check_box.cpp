#include "toolkit/check_box.h"

#include "toolkit/form.h"

#include <stdexcept>

namespace toolkit {

namespace {
constexpr char kOriginalProc[] = "ToolkitCheckBoxProc";
}  // namespace

LRESULT CALLBACK CheckBox::KeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOriginalProc));
    if (msg == WM_KEYDOWN && (wp == VK_TAB || wp == VK_ESCAPE || wp == VK_PRIOR || wp == VK_NEXT))
        return SendMessageA(GetParent(hwnd), msg, wp, lp);
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS) {
        // The form draws this box's focus around the text beside it.
        const LRESULT result = original ? CallWindowProcA(original, hwnd, msg, wp, lp) : 0;
        InvalidateRect(GetParent(hwnd), nullptr, FALSE);
        return result;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(hwnd, kOriginalProc);
    }
    return original ? CallWindowProcA(original, hwnd, msg, wp, lp)
                    : DefWindowProcA(hwnd, msg, wp, lp);
}

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
    // Without a dialog manager the box would keep Tab, Esc and the page keys to itself.
    SetPropA(window_, kOriginalProc,
             reinterpret_cast<HANDLE>(GetWindowLongPtrA(window_, GWLP_WNDPROC)));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CheckBox::KeyProc));
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
