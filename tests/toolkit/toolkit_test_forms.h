// Forms of the toolkit tests, built from the descriptions in toolkit_test.rc. Each keeps
// a log of the handlers it ran, one word per call, so that tests can check the order.
#pragma once

#include "toolkit/check_box.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/image_list.h"
#include "toolkit/label.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace toolkittest {

// A hover image as a program adds one: an image kind whose pointer notifications
// become events that a description binds.
class HoverImage : public toolkit::Image {
public:
    using Image::Image;
    toolkit::NotifyEvent OnMouseOver;
    toolkit::NotifyEvent OnMouseOut;
    void MouseEntered() override {
        if (OnMouseOver) OnMouseOver(*this);
    }
    void MouseLeft() override {
        if (OnMouseOut) OnMouseOut(*this);
    }
    toolkit::NotifyEvent* NotifySlot(std::string_view event) override {
        if (event == "OnMouseOver") return &OnMouseOver;
        if (event == "OnMouseOut") return &OnMouseOut;
        return Image::NotifySlot(event);
    }
};

inline constexpr toolkit::ComponentKind kTestKinds[] = {
    {"HoverImage", &toolkit::MakeComponent<HoverImage>}};

class RoutingForm : public toolkit::Form {
public:
    explicit RoutingForm(toolkit::Application& app);
    static std::span<const toolkit::HandlerEntry<RoutingForm>> Handlers();

    void FormCreate(toolkit::Object&) { log.push_back("create"); }
    void FormDestroy(toolkit::Object&) { log.push_back("destroy"); }
    void FormShow(toolkit::Object&) { log.push_back("show"); }
    void FormMouseDown(toolkit::Object&, toolkit::MouseButton, std::uint32_t, int x, int y);
    void imgBackgroundMouseDown(toolkit::Object&, toolkit::MouseButton b, std::uint32_t, int, int);
    void lbClick(toolkit::Object& sender) { log.push_back("click:" + sender.Name()); }
    void lbDblClick(toolkit::Object& sender) { log.push_back("dblclick:" + sender.Name()); }
    void HoverOver(toolkit::Object& sender) { log.push_back("over:" + sender.Name()); }
    void HoverOut(toolkit::Object& sender) { log.push_back("out:" + sender.Name()); }
    void chkBoxClick(toolkit::Object&);
    // Messages the form handles itself, by number.
    void WMUserOne(toolkit::Message& m);
    void WMSystemCommand(toolkit::Message& m);

    std::vector<std::string> log;
    std::function<void()> onBackgroundPress;

    toolkit::Image& imgBackground = Find<toolkit::Image>("imgBackground");
    toolkit::Label& lbEnabled = Find<toolkit::Label>("lbEnabled");
    toolkit::Label& lbDisabled = Find<toolkit::Label>("lbDisabled");
    toolkit::Label& lbHidden = Find<toolkit::Label>("lbHidden");
    HoverImage& imgHoverA = Find<HoverImage>("imgHoverA");
    HoverImage& imgHoverB = Find<HoverImage>("imgHoverB");
    toolkit::CheckBox& chkBox = Find<toolkit::CheckBox>("chkBox");
    toolkit::ImageList& imglst = Find<toolkit::ImageList>("imglst");
};

class LabelsForm : public toolkit::Form {
public:
    explicit LabelsForm(toolkit::Application& app)
        : Form(app, {"TFRMTOOLKITLABELS", toolkit::BindHandlers(this, Handlers())}) {}
    static std::span<const toolkit::HandlerEntry<LabelsForm>> Handlers() { return {}; }
};

class ModalForm : public toolkit::Form {
public:
    explicit ModalForm(toolkit::Application& app);
    static std::span<const toolkit::HandlerEntry<ModalForm>> Handlers();

    void lbCloseClick(toolkit::Object&);
    void lbThrowClick(toolkit::Object&);

    std::function<void()> onClose;  // runs inside the close click, before Close
    int throws = 0;
};

// A form whose description names a handler that its table lacks.
class BrokenForm : public toolkit::Form {
public:
    explicit BrokenForm(toolkit::Application& app)
        : Form(app, {"TFRMTOOLKITBROKEN", toolkit::BindHandlers(this, Handlers())}) {}
    static std::span<const toolkit::HandlerEntry<BrokenForm>> Handlers() { return {}; }
};

}  // namespace toolkittest
