#include "toolkit/check_box.h"

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

CheckBox::CheckBox(ComponentHost& owner, const ComponentDescription& d)
    : Component(owner, d), checked_(d.checked) {}

void CheckBox::CreateChildWindow() {
    if (window_) return;
    // BS_CHECKBOX, not BS_AUTOCHECKBOX: the state changes only through SetChecked, so a
    // click from the user and a change from code run the handler the same way.
    const DWORD style = WS_CHILD | WS_TABSTOP | BS_CHECKBOX | (Visible() ? WS_VISIBLE : 0) |
                        (Enabled() ? 0 : WS_DISABLED);
    const RECT r = BoundsRect();
    const HWND window =
        CreateWindowExA(0, "BUTTON", "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        Owner().Handle(), nullptr, Owner().Module(), nullptr);
    if (!window) throw std::runtime_error("Cannot create the check box " + Name() + ".");
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Owner().Font()), FALSE);
    // Without a dialog manager the box would keep Tab, Esc and the page keys to itself.
    SetPropA(window, kOriginalProc,
             reinterpret_cast<HANDLE>(GetWindowLongPtrA(window, GWLP_WNDPROC)));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CheckBox::KeyProc));
    if (checked_) SendMessageA(window, BM_SETCHECK, BST_CHECKED, 0);
    window_ = window;
}

bool CheckBox::Checked() const {
    return window_ ? SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED : checked_;
}

void CheckBox::SetChecked(bool checked) {
    if (checked == Checked()) return;
    checked_ = checked;
    if (window_) SendMessageA(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    Click();
}

void CheckBox::SetVisible(bool visible) {
    Component::SetVisible(visible);
    if (window_) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void CheckBox::SetEnabled(bool enabled) {
    Component::SetEnabled(enabled);
    if (window_) EnableWindow(window_, enabled ? TRUE : FALSE);
}

void CheckBox::ScaleChanged() {
    Component::ScaleChanged();
    if (window_) SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(Owner().Font()), TRUE);
}

void CheckBox::Moved() {
    if (window_) MoveWindow(window_, Left(), Top(), Width(), Height(), TRUE);
}

}  // namespace toolkit
