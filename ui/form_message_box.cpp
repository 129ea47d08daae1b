#include "ui/form_message_box.h"

#include "ui/plain_looks.h"

#include <stdexcept>

namespace ui {

namespace {

constexpr toolkit::HandlerEntry<TfrmMessageBox> kHandlers[] = {
    {"FormMouseDown", &TfrmMessageBox::FormMouseDown},
    {"imgBackgroundMouseDown", &TfrmMessageBox::imgBackgroundMouseDown},
    {"lbOKClick", &TfrmMessageBox::lbOKClick},
};

constexpr toolkit::MessageEntry<TfrmMessageBox> kMessages[] = {
    {WM_KEYDOWN, &TfrmMessageBox::WMKeyDown},
};

}  // namespace

TfrmMessageBox::TfrmMessageBox(toolkit::Application& app)
    : Form(app, {"TFRMMESSAGEBOX", toolkit::BindHandlers(this, Handlers())}) {
    BindMessages(this, kMessages);
    Focus().Expose(lbMessage, toolkit::access::Role::StaticText);
    Focus().Expose(lbOK, toolkit::access::Role::PushButton, {}, 0);
    Focus().SetInitialFocus(lbOK);
    SetPlainLooks(*this);
}

std::span<const toolkit::HandlerEntry<TfrmMessageBox>> TfrmMessageBox::Handlers() {
    return kHandlers;
}

void TfrmMessageBox::FormMouseDown(toolkit::Object&, toolkit::MouseButton, std::uint32_t, int,
                                   int) {
    StartSystemMove();
}

void TfrmMessageBox::imgBackgroundMouseDown(toolkit::Object&, toolkit::MouseButton, std::uint32_t,
                                            int, int) {
    StartSystemMove();
}

void TfrmMessageBox::lbOKClick(toolkit::Object&) {
    Close();  // inside the modal wait: ends it with cancel
}

void TfrmMessageBox::WMKeyDown(toolkit::Message& message) {
    // A key held since before the window opened (Enter on Enable, say) repeats into it:
    // only a fresh press answers the message.
    constexpr LPARAM kPreviouslyDown = 0x40000000;
    if ((message.lParam & kPreviouslyDown) != 0) return;
    switch (message.wParam) {
        case VK_RETURN:
        case VK_SPACE:
        case VK_ESCAPE: lbOKClick(*this); return;
        default: Inherited(message);
    }
}

void ShowMessageWindow(toolkit::Application* owner, const char* text) noexcept {
    const char* shown = text ? text : "";
    try {
        if (!owner) throw std::logic_error("The message window has no owner.");
        auto window = toolkit::MakeForm<TfrmMessageBox>(*owner);
        window->lbMessage.SetText(shown);
        (void)window->ShowModal();
    } catch (...) {
        // The caller is a driver command that cannot take an error: the user still
        // learns what went wrong.
        MessageBoxA(nullptr, shown, owner ? owner->Title().c_str() : "", MB_OK | MB_ICONERROR);
    }
}

}  // namespace ui
