#include "toolkit/description.h"
#include "toolkit/events.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace toolkit;

namespace {

constexpr char kSample[] = R"(# a sample window
form TfrmSample
  title = "Sample window"
  size = 300, 120
  color = btnface
  font = "MS Sans Serif", 11
  doublebuffered = true
  position = screencenter
  icon = SAMPLEICON
  OnCreate = FormCreate
  OnMouseDown = FormMouseDown

component Image imgBackground
  bounds = 0, 0, 300, 120
  picture = SAMPLEBACK
  OnMouseDown = imgBackgroundMouseDown

component Label lbText
  bounds = 10, 20, 200, 16
  text = "first\n\rsecond\tend \"quoted\" \x41"
  font = "MS Sans Serif", 13, bold, #0A0B0C
  alignment = center
  layout = center
  autosize = true
  enabled = false
  cursor = hand
  OnClick = lbTextClick
  OnDblClick = lbTextClick

component CheckBox chkOption
  bounds = 5, 5, 13, 13
  checked = true
  visible = false
  taborder = 1

component ImageList imglst
  imagesize = 95, 34
  images = STRIP
)";

}  // namespace

TEST(Description, ReadsTheWindowAndEveryComponentProperty) {
    const WindowDescription w = ParseDescription(kSample);
    EXPECT_EQ(w.className, "TfrmSample");
    EXPECT_EQ(w.title, "Sample window");
    EXPECT_EQ(w.width, 300);
    EXPECT_EQ(w.height, 120);
    EXPECT_EQ(w.color, Color::System(kSysBtnFace));
    EXPECT_EQ(w.font.height, 11);
    EXPECT_TRUE(w.doubleBuffered);
    EXPECT_TRUE(w.centerOnFirstShow);
    EXPECT_EQ(w.icon, "SAMPLEICON");
    ASSERT_EQ(w.handlers.size(), 2u);
    EXPECT_EQ(w.handlers[1].event, "OnMouseDown");
    EXPECT_EQ(w.handlers[1].handler, "FormMouseDown");

    ASSERT_EQ(w.components.size(), 4u);
    const auto& img = w.components[0];
    EXPECT_EQ(img.kind, "Image");
    EXPECT_EQ(img.picture, "SAMPLEBACK");
    EXPECT_EQ(img.width, 300);

    const auto& lb = w.components[1];
    EXPECT_EQ(lb.text, "first\n\rsecond\tend \"quoted\" A");
    EXPECT_EQ(lb.font.face, "MS Sans Serif");
    EXPECT_EQ(lb.font.height, 13);
    EXPECT_TRUE(lb.font.bold);
    EXPECT_EQ(lb.font.color, Color::Rgb(0x0A0B0C));
    EXPECT_EQ(lb.alignment, Alignment::Center);
    EXPECT_TRUE(lb.verticalCenter);
    EXPECT_TRUE(lb.autoSize);
    EXPECT_FALSE(lb.enabled);
    EXPECT_TRUE(lb.visible);
    EXPECT_TRUE(lb.handCursor);
    ASSERT_EQ(lb.handlers.size(), 2u);
    EXPECT_EQ(lb.handlers[1].event, "OnDblClick");

    const auto& chk = w.components[2];
    EXPECT_TRUE(chk.checked);
    EXPECT_FALSE(chk.visible);
    EXPECT_EQ(chk.tabOrder, 1);

    const auto& list = w.components[3];
    EXPECT_EQ(list.imageWidth, 95);
    EXPECT_EQ(list.imageHeight, 34);
    EXPECT_EQ(list.images, "STRIP");
    EXPECT_EQ(w.Find("chkOption"), &w.components[2]);
    EXPECT_EQ(w.Find("nothing"), nullptr);
}

TEST(Description, DefaultsAreVisibleEnabledUncheckedLeftTopAndWindowText) {
    const auto w = ParseDescription("form F\ncomponent Label lb\n");
    const auto& lb = w.components.at(0);
    EXPECT_TRUE(lb.visible);
    EXPECT_TRUE(lb.enabled);
    EXPECT_FALSE(lb.checked);
    EXPECT_FALSE(lb.autoSize);
    EXPECT_TRUE(lb.transparent);
    EXPECT_EQ(lb.alignment, Alignment::Left);
    EXPECT_FALSE(lb.verticalCenter);
    EXPECT_EQ(lb.font.color, Color::System(kSysWindowText));
    EXPECT_FALSE(w.centerOnFirstShow);
    EXPECT_FALSE(w.doubleBuffered);
}

TEST(Description, AcceptsWindowsLineEndsAndAnEqualsSignInsideText) {
    const auto w = ParseDescription("form F\r\ncomponent Label lb\r\n  text = \"a = b\"\r\n");
    EXPECT_EQ(w.components.at(0).text, "a = b");
}

TEST(Description, FaultsNameTheirLine) {
    const char* bad[] = {
        "component Label lb\n",                              // no form line yet
        "form F\nform G\n",                                  // two forms
        "form F\ncomponent Label lb\ncomponent Image lb\n",  // a name twice
        "form F\n  width = 10\n",                            // unknown window property
        "form F\ncomponent Label lb\n  colour = black\n",    // unknown component property
        "form F\ncomponent Label lb\n  bounds = 1, 2, 3\n",
        "form F\ncomponent Label lb\n  bounds = 1, 2, x, 4\n",
        "form F\ncomponent Label lb\n  bounds = 1, 2, -3, 4\n",
        "form F\ncomponent Label lb\n  visible = yes\n",
        "form F\ncomponent Label lb\n  text = \"open\n",
        "form F\ncomponent Label lb\n  text = \"\\q\"\n",
        "form F\ncomponent Label lb\n  text = \"\\x4\"\n",
        "form F\ncomponent Label lb\n  font = \"Face\", 13, #12345G\n",
        "form F\ncomponent Label lb\n  alignment = middle\n",
        "form F\ncomponent Label lb\n  left = 99999999999\n",
        "form F\ncomponent Label lb\n  OnClick =\n",
        "form F\nwhatever\n",
        "",
    };
    for (const char* text : bad)
        EXPECT_THROW((void)ParseDescription(text), DescriptionError) << text;
    try {
        (void)ParseDescription("form F\n\ncomponent Label lb\n  visible = yes\n");
        FAIL();
    } catch (const DescriptionError& e) {
        EXPECT_NE(std::string(e.what()).find("line 4"), std::string::npos) << e.what();
    }
}

namespace {

struct Sample : Object {
    const std::string& Name() const override { return name; }
    void FormCreate(Object&) { ++created; }
    void lbTextClick(Object& sender) { lastSender = &sender; }
    void FormMouseDown(Object&, MouseButton b, std::uint32_t, int x, int y) {
        lastButton = b;
        lastX = x;
        lastY = y;
    }
    std::string name = "sample";
    int created = 0;
    Object* lastSender = nullptr;
    MouseButton lastButton = MouseButton::Left;
    int lastX = 0, lastY = 0;
};

constexpr HandlerEntry<Sample> kSampleHandlers[] = {
    {"FormCreate", &Sample::FormCreate},
    {"lbTextClick", &Sample::lbTextClick},
    {"FormMouseDown", &Sample::FormMouseDown},
    // bound to a mouse-down event in the sample, but of the notify shape:
    {"imgBackgroundMouseDown", &Sample::lbTextClick},
};

}  // namespace

TEST(Handlers, BoundTableCallsTheNamedMethodsWithTheirArguments) {
    Sample s;
    const HandlerResolver resolve = BindHandlers(&s, kSampleHandlers);
    BoundHandler created, click, mouse;
    ASSERT_TRUE(resolve("FormCreate", HandlerKind::Notify, created));
    ASSERT_TRUE(resolve("lbTextClick", HandlerKind::Notify, click));
    ASSERT_TRUE(resolve("FormMouseDown", HandlerKind::Mouse, mouse));
    created.notify(s);
    click.notify(s);
    mouse.mouse(s, MouseButton::Right, 0, 7, 9);
    EXPECT_EQ(s.created, 1);
    EXPECT_EQ(s.lastSender, &s);
    EXPECT_EQ(s.lastButton, MouseButton::Right);
    EXPECT_EQ(s.lastX, 7);
    EXPECT_EQ(s.lastY, 9);

    BoundHandler none;
    EXPECT_FALSE(resolve("Missing", HandlerKind::Notify, none));
    EXPECT_FALSE(resolve("FormCreate", HandlerKind::Mouse, none)) << "wrong shape binds";
}

TEST(Handlers, UnresolvedHandlersNamesMissingNamesAndWrongShapes) {
    const auto w = ParseDescription(kSample);
    const auto missing = UnresolvedHandlers(w, [](std::string_view name, HandlerKind kind) {
        return TableResolves(kSampleHandlers, name, kind);
    });
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0], "imgBackground.OnMouseDown = imgBackgroundMouseDown");
    EXPECT_EQ(KindOfEvent("OnMouseDown"), HandlerKind::Mouse);
    EXPECT_EQ(KindOfEvent("OnMouseOver"), HandlerKind::Notify);
}
