// Forms built from descriptions: creation, handler binding, mouse routing, clicks,
// hover sequencing, check boxes, showing. Driven with real mouse messages.
#include "tests/support/wine_test_support.h"
#include "tests/toolkit/toolkit_test_forms.h"
#include "toolkit/render.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace toolkittest;
using Log = std::vector<std::string>;

namespace {

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class RoutingTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The real pointer stays in a corner, away from the centred form.
        ASSERT_TRUE(PlacePointer(ScreenCorner()));
        form = toolkit::MakeForm<RoutingForm>(app);
        hwnd = form->Handle();
        form->log.clear();
    }
    void Press(int x, int y, UINT msg = WM_LBUTTONDOWN) {
        SendMessageA(hwnd, msg, msg == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, At(x, y));
    }
    void Release(int x, int y) { SendMessageA(hwnd, WM_LBUTTONUP, 0, At(x, y)); }
    void Move(int x, int y, WPARAM keys = 0) { SendMessageA(hwnd, WM_MOUSEMOVE, keys, At(x, y)); }
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }

    toolkit::Application app{"Toolkit test"};
    toolkit::FormPtr<RoutingForm> form;
    HWND hwnd = nullptr;
};

}  // namespace

TEST_F(RoutingTest, FormIsCreatedHiddenUnderItsClassNameAndRunsCreateAndDestroy) {
    EXPECT_EQ(FindWindowA("TfrmToolkitRouting", "Toolkit routing"), hwnd);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), app.Handle());
    RECT r{};
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 120);
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 200) << "no frame";

    auto second = toolkit::MakeForm<RoutingForm>(app);
    EXPECT_EQ(second->log, Log{"create"});
    Log afterwards;
    second->OnDestroy = [&](toolkit::Object&) { afterwards.push_back("destroy"); };
    const HWND secondHandle = second->Handle();
    second.reset();
    EXPECT_EQ(afterwards, Log{"destroy"});
    EXPECT_FALSE(IsWindow(secondHandle));
}

TEST_F(RoutingTest, AHandlerNameWithoutAMethodIsAnErrorAtCreation) {
    try {
        auto broken = toolkit::MakeForm<BrokenForm>(app);
        FAIL() << "created";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("NoSuchHandler"), std::string::npos) << e.what();
    }
    EXPECT_EQ(FindWindowA("TfrmToolkitBroken", nullptr), nullptr) << "no window left behind";
}

TEST_F(RoutingTest, EveryHandlerNameOfTheTestDescriptionsResolves) {
    auto check = [](const toolkit::WindowDescription& d, auto table) {
        return toolkit::UnresolvedHandlers(d, [&](std::string_view name, toolkit::HandlerKind k) {
            return toolkit::TableResolves(table, name, k);
        });
    };
    const HINSTANCE self = GetModuleHandleA(nullptr);
    auto describe = [&](const char* name) {
        return toolkit::ParseDescription(toolkit::LoadDescriptionText(self, name));
    };
    EXPECT_TRUE(check(describe("TFRMTOOLKITROUTING"), RoutingForm::Handlers()).empty());
    EXPECT_TRUE(check(describe("TFRMTOOLKITMODAL"), ModalForm::Handlers()).empty());
    EXPECT_TRUE(check(describe("TFRMTOOLKITLABELS"), LabelsForm::Handlers()).empty());
    EXPECT_EQ(check(describe("TFRMTOOLKITBROKEN"), BrokenForm::Handlers()),
              Log{"lbText.OnClick = NoSuchHandler"});
}

TEST_F(RoutingTest, PressesGoToTheTopmostVisibleEnabledComponent) {
    Click(15, 15);                   // the enabled label
    Click(85, 15);                   // the disabled label: through to the background
    Click(85, 45);                   // the hidden label: through to the background
    Click(15, 45);                   // an image without a handler takes the press and does nothing
    Press(50, 110, WM_RBUTTONDOWN);  // the bare form, right button
    EXPECT_EQ(form->log,
              (Log{"click:lbEnabled", "backdown:left", "backdown:left", "formdown:right:50,110"}));

    form->log.clear();
    form->lbDisabled.SetEnabled(true);
    form->lbHidden.SetVisible(true);
    Click(85, 15);
    Click(85, 45);
    EXPECT_EQ(form->log, (Log{"click:lbDisabled", "click:lbHidden"}));
}

TEST_F(RoutingTest, AClickNeedsPressAndReleaseOnTheSameComponent) {
    Press(15, 15);
    Release(15, 45);  // released elsewhere
    Press(15, 45);
    Release(15, 15);  // pressed elsewhere
    EXPECT_TRUE(form->log.empty()) << form->log.front();
}

TEST_F(RoutingTest, DoubleClickOnALabelIsAClickThenADoubleClickEvent) {
    Press(15, 15);
    Release(15, 15);
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, At(15, 15));
    Release(15, 15);
    EXPECT_EQ(form->log, (Log{"click:lbEnabled", "dblclick:lbEnabled"}));
    EXPECT_TRUE(GetClassLongA(hwnd, GCL_STYLE) & CS_DBLCLKS);
}

TEST_F(RoutingTest, HoverLeavesThePreviousComponentBeforeEnteringTheNext) {
    Move(15, 75);
    Move(20, 78);  // still on A
    Move(55, 75);
    Move(15, 15);  // a label: not a hover image, but a component all the same
    Move(15, 75);
    SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0);  // off the form
    EXPECT_EQ(form->log, (Log{"over:imgHoverA", "out:imgHoverA", "over:imgHoverB", "out:imgHoverB",
                              "over:imgHoverA", "out:imgHoverA"}));
}

TEST_F(RoutingTest, UnderCaptureOnlyThePressedComponentIsTold) {
    Move(15, 75);
    Press(15, 75);
    Move(55, 75, MK_LBUTTON);                 // dragged onto B: A is left, B hears nothing
    SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0);  // reported while captured: ignored
    Move(-20, -5, MK_LBUTTON);                // outside the form
    Move(15, 75, MK_LBUTTON);                 // back on A
    Move(55, 75, MK_LBUTTON);
    Release(55, 75);  // released over B: no click on A, and now B is entered
    EXPECT_EQ(form->log, (Log{"over:imgHoverA", "out:imgHoverA", "over:imgHoverA", "out:imgHoverA",
                              "over:imgHoverB"}));
}

TEST_F(RoutingTest, ADisabledComponentCountsForHover) {
    form->imgHoverB.SetEnabled(false);
    Move(55, 75);
    Move(15, 75);
    EXPECT_EQ(form->log, (Log{"over:imgHoverB", "out:imgHoverB", "over:imgHoverA"}));
}

TEST_F(RoutingTest, CheckBoxRunsItsHandlerOnRealChangesFromCodeAndOnUserClicks) {
    // Before the box has a window, as when a form's creation handler sets it.
    ASSERT_EQ(form->chkBox.Handle(), nullptr);
    EXPECT_FALSE(form->chkBox.Checked());
    form->chkBox.SetChecked(false);
    EXPECT_TRUE(form->log.empty()) << "no change, no handler";
    form->chkBox.SetChecked(true);
    EXPECT_EQ(form->log, Log{"chk:on"}) << "the handler runs inside the call, state already set";
    form->chkBox.SetChecked(true);
    EXPECT_EQ(form->log.size(), 1u);

    form->CreateChildWindows();  // as the first show does
    ASSERT_NE(form->chkBox.Handle(), nullptr);
    EXPECT_EQ(SendMessageA(form->chkBox.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED)
        << "the window takes the state set before it";
    EXPECT_EQ(form->log.size(), 1u) << "making the window runs no handler";
    SendMessageA(form->chkBox.Handle(), BM_CLICK, 0, 0);  // the user's click
    ASSERT_TRUE(WaitUntil([&] { return form->log.size() == 2; }, 5s));
    EXPECT_EQ(form->log.back(), "chk:off");
    EXPECT_FALSE(form->chkBox.Checked());

    form->chkBox.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(form->chkBox.Handle()));
    EXPECT_EQ(form->log.size(), 2u) << "enabling runs no handler";
    form->chkBox.SetVisible(false);
    EXPECT_FALSE(GetWindowLongA(form->chkBox.Handle(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(RoutingTest, ShowEventRunsEachTimeTheFormGoesFromHiddenToVisible) {
    form->Show();
    form->Show();
    form->Hide();
    form->Show();
    EXPECT_EQ(form->log, (Log{"show", "show"}));
    EXPECT_TRUE(form->Visible());
}

TEST_F(RoutingTest, CentredOnTheFirstShowOnly) {
    form->Show();
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 120) / 2);
    SetWindowPos(hwnd, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    form->Hide();
    form->Show();
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(r.top, 9);
}

TEST_F(RoutingTest, PaintsPicturesOpaqueAndTheCheckBoxIntoARendering) {
    const toolkit::Pixels hidden = toolkit::RenderClient(hwnd);
    ASSERT_EQ(hidden.width, 200);
    EXPECT_EQ(hidden.At(199, 99), 0x336699u) << "the picture, unscaled to its box";
    EXPECT_EQ(hidden.At(45, 45), 0x336699u) << "an image without a picture draws nothing";
    EXPECT_EQ(hidden.At(100, 110), 0xFFFFFFu) << "the form's colour below the picture";
    int boxPixels = 0;
    for (int y = 70; y < 83; ++y)
        for (int x = 150; x < 163; ++x) boxPixels += hidden.At(x, y) != 0x336699u;
    EXPECT_GT(boxPixels, 100) << "the check box is in the rendering";

    form->chkBox.SetChecked(true);
    const toolkit::Pixels checked = toolkit::RenderClient(hwnd);
    int changed = 0;
    for (int y = 70; y < 83; ++y)
        for (int x = 150; x < 163; ++x) changed += checked.At(x, y) != hidden.At(x, y);
    EXPECT_GT(changed, 3) << "the check mark shows";
}

TEST_F(RoutingTest, ImageListDrawsItsImagesOpaqueIntoAPicture) {
    EXPECT_EQ(form->imglst.Count(), 4);
    toolkit::Picture& picture = form->imgHoverA.GetPicture();
    EXPECT_TRUE(picture.Empty());
    ASSERT_TRUE(form->imglst.GetBitmap(1, picture));
    EXPECT_EQ(picture.Width(), 10);
    EXPECT_EQ(picture.Height(), 10);
    EXPECT_EQ(*ClientPixel(hwnd, 15, 75), 0x0000FFu);
    EXPECT_EQ(*ClientPixel(hwnd, 25, 75), 0x336699u) << "beyond the picture, the background";

    picture.Clear();
    EXPECT_EQ(*ClientPixel(hwnd, 15, 75), 0xFFFFFFu) << "cleared white";
    {
        toolkit::PictureCanvas canvas(picture);
        EXPECT_TRUE(form->imglst.Draw(canvas.Dc(), 5, 5, 2));
        EXPECT_FALSE(form->imglst.Draw(canvas.Dc(), 0, 0, 4)) << "no such image";
    }
    EXPECT_EQ(*ClientPixel(hwnd, 11, 71), 0xFFFFFFu);
    EXPECT_EQ(*ClientPixel(hwnd, 16, 76), 0xFF0000u);
}

TEST_F(RoutingTest, HandCursorOverAComponentThatAsksForIt) {
    form->Show();
    RECT r{};
    GetWindowRect(hwnd, &r);
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    auto cursorThere = [&] {
        SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, 0));
        return GetCursor();
    };
    EXPECT_TRUE(WithPointerAt({r.left + 15, r.top + 15}, [&] { return cursorThere() == hand; }))
        << "over the hand component";
    EXPECT_TRUE(WithPointerAt({r.left + 15, r.top + 45}, [&] { return cursorThere() != hand; }))
        << "over a component with the default cursor";
}

TEST_F(RoutingTest, MessagesGoToTheFormsOwnHandlersByNumberAndTheRestToTheDefault) {
    form->Show();
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 0, WM_LBUTTONDOWN), 7);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(form->Visible()) << "the form's own handling hid it";
    EXPECT_EQ(form->log, (Log{"show", "user1:513", "syscommand:close"}));
    // Passed on: the default handling still paints and routes.
    EXPECT_EQ(*ClientPixel(hwnd, 100, 50), 0x336699u);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(IsWindow(hwnd)) << "closing hides, never destroys";
}

TEST_F(RoutingTest, HidingTheFormLeavesTheComponentUnderThePointer) {
    form->Show();
    Move(15, 75);
    form->Hide();
    EXPECT_EQ(form->log, (Log{"show", "over:imgHoverA", "out:imgHoverA"}));
}

TEST_F(RoutingTest, PaintingOnScreenGivesWhatTheFormRendersWithOrWithoutBuffer) {
    form->Show();
    auto screenPixel = [&](int x, int y) {
        UpdateWindow(hwnd);
        win32::WindowDc dc(hwnd);
        return Rgb(GetPixel(dc.get(), x, y));
    };
    EXPECT_TRUE(WaitUntil([&] { return screenPixel(100, 50) == 0x336699u; }, 5s));
    EXPECT_EQ(screenPixel(100, 110), 0xFFFFFFu);
    form->SetDoubleBuffered(false);
    form->imgBackground.Hide();
    EXPECT_TRUE(WaitUntil([&] { return screenPixel(100, 50) == 0xFFFFFFu; }, 5s));
}
