#include "toolkit/popup_menu.h"

#include <stdexcept>

namespace toolkit {

PopupMenu::PopupMenu() : menu_(CreatePopupMenu()) {
    if (!menu_) throw std::runtime_error("Cannot create a popup menu.");
}

MenuItem& PopupMenu::Add(std::string caption, NotifyEvent onClick) {
    auto item = std::make_unique<MenuItem>(std::move(caption));
    item->OnClick = std::move(onClick);
    const UINT command = static_cast<UINT>(items_.size() + 1);
    const bool separator = item->Caption() == "-";
    AppendMenuA(menu_.get(), separator ? MF_SEPARATOR : MF_STRING, command,
                separator ? nullptr : item->Caption().c_str());
    items_.push_back(std::move(item));
    return *items_.back();
}

void PopupMenu::Popup(HWND owner, int x, int y) {
    TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, owner,
                   nullptr);
}

void PopupMenu::PopupFromTray(HWND owner) {
    POINT cursor{};
    GetCursorPos(&cursor);
    PopupFromTray(owner, cursor);
}

void PopupMenu::PopupFromTray(HWND owner, POINT at) {
    SetForegroundWindow(owner);
    Popup(owner, at.x, at.y);
    PostMessageA(owner, WM_NULL, 0, 0);
}

bool PopupMenu::Command(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0 || HIWORD(wParam) != 0) return false;
    Choose(LOWORD(wParam));
    return true;
}

void PopupMenu::Choose(UINT command) {
    if (command == 0 || command > items_.size()) return;
    MenuItem& item = *items_[command - 1];
    if (item.OnClick) item.OnClick(item);
}

}  // namespace toolkit
