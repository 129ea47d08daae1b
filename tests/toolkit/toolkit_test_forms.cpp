#include "tests/toolkit/toolkit_test_forms.h"

#include <cstdint>
#include <stdexcept>

namespace toolkittest {

namespace {

using R = RoutingForm;
constexpr toolkit::HandlerEntry<R> kRoutingHandlers[] = {
    {"FormCreate", &R::FormCreate},
    {"FormDestroy", &R::FormDestroy},
    {"FormShow", &R::FormShow},
    {"FormMouseDown", &R::FormMouseDown},
    {"imgBackgroundMouseDown", &R::imgBackgroundMouseDown},
    {"lbClick", &R::lbClick},
    {"lbDblClick", &R::lbDblClick},
    {"HoverOver", &R::HoverOver},
    {"HoverOut", &R::HoverOut},
    {"chkBoxClick", &R::chkBoxClick},
};

constexpr toolkit::MessageEntry<R> kRoutingMessages[] = {
    {WM_USER + 1, &R::WMUserOne},
    {WM_SYSCOMMAND, &R::WMSystemCommand},
};

using M = ModalForm;
constexpr toolkit::HandlerEntry<M> kModalHandlers[] = {
    {"lbCloseClick", &M::lbCloseClick},
    {"lbThrowClick", &M::lbThrowClick},
};

const char* ButtonName(toolkit::MouseButton b) {
    switch (b) {
        case toolkit::MouseButton::Left: return "left";
        case toolkit::MouseButton::Right: return "right";
        case toolkit::MouseButton::Middle: return "middle";
    }
    return "?";
}

}  // namespace

RoutingForm::RoutingForm(toolkit::Application& app)
    : Form(app, {"TFRMTOOLKITROUTING", toolkit::BindHandlers(this, Handlers()), kTestKinds}) {
    BindMessages(this, kRoutingMessages);
}

void RoutingForm::WMUserOne(toolkit::Message& m) {
    log.push_back("user1:" + std::to_string(m.lParam));
    m.result = 7;
}

void RoutingForm::WMSystemCommand(toolkit::Message& m) {
    if (m.wParam == SC_CLOSE) {
        log.push_back("syscommand:close");
        Hide();
        return;
    }
    Inherited(m);
}

std::span<const toolkit::HandlerEntry<RoutingForm>> RoutingForm::Handlers() {
    return kRoutingHandlers;
}

void RoutingForm::FormMouseDown(toolkit::Object&, toolkit::MouseButton b, std::uint32_t, int x,
                                int y) {
    log.push_back(std::string("formdown:") + ButtonName(b) + ":" + std::to_string(x) + "," +
                  std::to_string(y));
}

void RoutingForm::imgBackgroundMouseDown(toolkit::Object&, toolkit::MouseButton b, std::uint32_t,
                                         int, int) {
    log.push_back(std::string("backdown:") + ButtonName(b));
    if (onBackgroundPress) onBackgroundPress();
}

void RoutingForm::chkBoxClick(toolkit::Object&) {
    log.push_back(chkBox.Checked() ? "chk:on" : "chk:off");
}

ModalForm::ModalForm(toolkit::Application& app)
    : Form(app, {"TFRMTOOLKITMODAL", toolkit::BindHandlers(this, Handlers())}) {}

std::span<const toolkit::HandlerEntry<ModalForm>> ModalForm::Handlers() {
    return kModalHandlers;
}

void ModalForm::lbCloseClick(toolkit::Object&) {
    if (onClose) onClose();
    Close();
}

void ModalForm::lbThrowClick(toolkit::Object&) {
    ++throws;
    throw std::runtime_error("The handler failed on purpose.");
}

}  // namespace toolkittest
