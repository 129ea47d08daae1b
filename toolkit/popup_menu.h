// A popup menu whose items run click handlers; an item captioned "-" is a separator.
#pragma once

#include "toolkit/events.h"
#include "win32/unique_win.h"

#include <memory>
#include <string>
#include <vector>

namespace toolkit {

class MenuItem : public Object {
public:
    explicit MenuItem(std::string caption) : caption_(std::move(caption)) {}
    [[nodiscard]] const std::string& Name() const override { return caption_; }
    [[nodiscard]] const std::string& Caption() const noexcept { return caption_; }
    NotifyEvent OnClick;

private:
    std::string caption_;
};

class PopupMenu {
public:
    PopupMenu();
    MenuItem& Add(std::string caption, NotifyEvent onClick = {});

    [[nodiscard]] HMENU Handle() const noexcept { return menu_.get(); }
    [[nodiscard]] const MenuItem& Item(size_t index) const { return *items_.at(index); }
    [[nodiscard]] size_t Count() const noexcept { return items_.size(); }

    // Pops the menu up at a screen point and returns when it closes. The chosen item's
    // command is posted to the owner as WM_COMMAND, so its handler runs from the message
    // loop after the menu is gone; the owner hands that message to Command. For the menu
    // to close when the user clicks elsewhere, bring the owner to the foreground first.
    void Popup(HWND owner, int x, int y);

    // Pops the menu up at the cursor for a notification-area icon, whose owner window is
    // usually hidden and not in front: the owner is brought to the foreground first, or the
    // menu would not close when the user clicks elsewhere; and a null message is posted to
    // it as soon as the menu closes, or the next popup could close at once.
    // At a given screen point instead of the cursor: a menu opened from the keyboard
    // opens at its icon.
    void PopupFromTray(HWND owner);
    void PopupFromTray(HWND owner, POINT at);

    // Runs the chosen item's handler when this WM_COMMAND came from a menu; false when it
    // came from elsewhere (a control's notification, an accelerator).
    bool Command(WPARAM wParam, LPARAM lParam);

    // Runs the handler of the item with this menu command (1 is the first item).
    void Choose(UINT command);

private:
    win32::UniqueMenu menu_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace toolkit
