// The message window: one line of text and an OK label on the skin's message picture,
// shown modally. ShowMessageWindow is the one way in: each call makes a new window,
// shows it centred, waits until it is closed and destroys it.
#pragma once

#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/label.h"

#include <cstdint>
#include <span>

namespace ui {

class TfrmMessageBox : public toolkit::Form {
public:
    explicit TfrmMessageBox(toolkit::Application& app);
    static std::span<const toolkit::HandlerEntry<TfrmMessageBox>> Handlers();

    // A press anywhere on the background moves the window, whichever button it was.
    void FormMouseDown(toolkit::Object& sender, toolkit::MouseButton button, std::uint32_t shift,
                       int x, int y);
    void imgBackgroundMouseDown(toolkit::Object& sender, toolkit::MouseButton button,
                                std::uint32_t shift, int x, int y);
    void lbOKClick(toolkit::Object& sender);
    // Enter, Space and Esc press OK.
    void WMKeyDown(toolkit::Message& message);

    toolkit::Label& lbOK = Find<toolkit::Label>("lbOK");
    toolkit::Label& lbMessage = Find<toolkit::Label>("lbMessage");
    toolkit::Image& imgBackground = Find<toolkit::Image>("imgBackground");
};

// Shows text (null counts as empty) in a new message window owned by owner and returns
// once the user has closed it, or once a quit message has ended the wait. Never throws,
// since its callers cannot take an error: without an owner, or when no window can be made,
// the text goes to a plain message box.
void ShowMessageWindow(toolkit::Application* owner, const char* text) noexcept;

}  // namespace ui
